#!/usr/bin/env bash
# Checks the system-wide installation: the metadata validators, the `cmake --install` layout, and
# the .deb built by CPack (its computed dependencies, lintian, an install with dpkg into a throwaway
# root). Usage: check-package.sh <source dir> <build dir>. Exits 77 (skipped) when a tool is missing,
# unless VANDU_REQUIRE_PEERS=1.
set -euo pipefail
source_dir=$1
build_dir=$2

for tool in appstreamcli desktop-file-validate lintian dpkg-deb dpkg-shlibdeps cpack; do
  if ! command -v "$tool" >/dev/null; then
    if [ "${VANDU_REQUIRE_PEERS:-0}" = 1 ]; then
      echo "required peer missing: $tool"
      exit 1
    fi
    echo "peer missing, skipped: $tool"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

appstreamcli validate --no-net --pedantic "$source_dir/packaging/org.vandu.vandu.metainfo.xml" ||
  fail "appstreamcli validate"
desktop-file-validate "$source_dir/packaging/vandu.desktop" || fail "desktop-file-validate"

cmake --install "$build_dir" --prefix "$work/usr" >/dev/null || fail "cmake --install"
expected=(
  usr/bin/Vandu
  usr/share/applications/vandu.desktop
  usr/share/metainfo/org.vandu.vandu.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/vandu.svg
  usr/share/man/man1/Vandu.1.gz
  usr/share/doc/vandu/copyright
  usr/share/doc/vandu/changelog.gz
)
for size in 16 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/vandu.png")
done
for file in "${expected[@]}"; do
  [ -f "$work/$file" ] || fail "cmake --install did not put $file"
done
[ -x "$work/usr/bin/Vandu" ] || fail "usr/bin/Vandu is not executable"
# Without the mail module every mailbox count fails; the agent looks for it in <libdir>/vandu.
find "$work/usr" -path "*/lib*/vandu/libvandu_mail.so" | grep -q . || fail "cmake --install did not put libvandu_mail.so"
for size in 16 256; do
  file "$work/usr/share/icons/hicolor/${size}x${size}/apps/vandu.png" | grep -q "$size x $size" ||
    fail "icon ${size}x${size} has the wrong size"
done

(cd "$build_dir" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(find "$work/package" -maxdepth 1 -name 'vandu_*.deb' | head -n 1)
[ -n "$deb" ] || fail "no .deb produced"
echo "package: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6network6 libqt6multimedia6 libsndfile1 libc6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library"
done
# The mail counter's TLS believes only the system's certificate store.
grep -q "ca-certificates" <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "Recommends lacks ca-certificates"
listing=$(dpkg-deb -c "$deb")
grep -q "/vandu/libvandu_mail\.so\$" <<<"$listing" || fail "package lacks libvandu_mail.so"
for file in "${expected[@]}"; do
  grep -q "\./$file\$" <<<"$listing" || fail "package lacks $file"
done
grep -q "root/root" <<<"$(head -n 1 <<<"$listing")" || fail "package files not owned by root"

lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1 | grep -v "root privileges" || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian reports errors"

root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; fail "dpkg -i"; }
[ -x "$root/usr/bin/Vandu" ] || fail "dpkg -i did not install usr/bin/Vandu"
dpkg --root="$root" -s vandu | grep -q "Status: install ok installed" || fail "dpkg does not list vandu as installed"
desktop-file-validate "$root/usr/share/applications/vandu.desktop" || fail "installed entry"
echo "package checks passed"
