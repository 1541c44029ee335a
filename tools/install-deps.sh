#!/usr/bin/env bash
# Installs what Vandu needs on Debian 12 (apt-get, with sudo when not root).
#
#   tools/install-deps.sh run    what building and running the programs need
#   tools/install-deps.sh test   that, and what the tests need (compilers of the sanitizer and
#                                fuzz builds, GoogleTest, the peers the tests start, a locale)
#
# Without an argument it installs for the tests. Add a package to the array of its purpose, one
# package a line; a new purpose gets its own array and a line in the mode it belongs to.
set -euo pipefail

# Compilers, build tools and the libraries the programs link.
build=(
  ccache
  cmake
  g++
  libcpp-httplib-dev
  libfontconfig-dev
  libfreetype-dev
  libgl1-mesa-dev
  libsamplerate0-dev
  libsndfile1-dev
  libsqlite3-dev
  ninja-build
  pkg-config
  qt6-base-dev
  qt6-multimedia-dev
)

# What the agent uses when it runs: the LCD's fonts; the desktop's registered browser (xdg-mime)
# and opener (xdg-open); the system's certificate store, which the mail counter's TLS trusts. The
# installer finds the Desktop folder with xdg-user-dir.
runtime=(
  ca-certificates
  fonts-liberation
  xdg-user-dirs
  xdg-utils
)

# The sanitizer and fuzz builds (clang's libFuzzer) and the test and benchmark frameworks.
test_build=(
  clang
  libbenchmark-dev
  libclang-rt-14-dev
  libgmock-dev
  libgtest-dev
)

# A display, a sound server, a session bus with a small notification-area host (python3-dbus,
# python3-gi; gdbus comes with libglib2.0-bin) and the X tools the end-to-end tests drive.
test_desktop=(
  dbus-daemon
  pulseaudio
  pulseaudio-utils
  python3-dbus
  python3-gi
  x11-utils
  xauth
  xdotool
  xvfb
)

# Servers the tests start themselves, on loopback ports of their own.
test_peers=(
  dovecot-pop3d
  nginx
  tinyproxy
)

# Command-line tools for tests, benchmarks and looking at what the programs wrote (openssl makes the
# mail tests' certificate authority).
test_tools=(
  curl
  file
  openssl
  sox
  sqlite3
)

# The installer's and the package's checks: desktop entries validated and started
# (desktop-file-validate, gio launch), AppStream metadata, the .deb's computed dependencies, lintian.
test_install=(
  appstream
  desktop-file-utils
  dpkg-dev
  libglib2.0-bin
  lintian
)

# The decimal-comma locale the HTTP client's status-line test runs under (generated below).
test_locale=(
  locales
)

mode=${1:-test}
case "$mode" in
  run) packages=("${build[@]}" "${runtime[@]}") ;;
  test)
    packages=("${build[@]}" "${runtime[@]}" "${test_build[@]}" "${test_desktop[@]}" "${test_peers[@]}"
      "${test_tools[@]}" "${test_install[@]}" "${test_locale[@]}")
    ;;
  *)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps ($mode): installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
fi

if [ "$mode" = test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "install-deps (test): adding de_DE.UTF-8 to /etc/locale.gen and generating it"
  "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
