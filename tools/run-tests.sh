#!/usr/bin/env bash
# Builds and runs every test: the whole suite under AddressSanitizer+UBSan, the core's tests under
# ThreadSanitizer, and each fuzz target for a bounded time. Installs what it needs first: beyond
# what the programs need, the test peers (Xvfb, PulseAudio, nginx, tinyproxy, Dovecot), clang and
# GoogleTest, and the de_DE.UTF-8 locale (see tools/install-deps.sh).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
./tools/install-deps.sh test || exit 1

jobs=$(nproc)
# Cache hits across checkouts in different folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fuzz_seconds=${VANDU_FUZZ_SECONDS:-20}
failed=0

run() { echo "+ $*"; "$@" || { echo "FAILED: $*"; failed=1; return 1; }; }

echo "=== asan+ubsan: full build and whole suite ==="
if run cmake --preset asan && run cmake --build --preset asan -j "$jobs"; then
  run ctest --preset asan -j "$jobs"
fi

echo "=== tsan: core tests ==="
if run cmake --preset tsan && run cmake --build --preset tsan -j "$jobs"; then
  run ctest --preset tsan -j "$jobs"
fi

echo "=== fuzz: ${fuzz_seconds}s per target ==="
if run cmake --preset fuzz && run cmake --build --preset fuzz -j "$jobs"; then
  while IFS='|' read -r name corpus; do
    [ -n "$name" ] || continue
    work=$(mktemp -d)
    cp -r "$corpus"/. "$work"/ 2>/dev/null || true
    run ./build/fuzz/fuzzers/"$name" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="build/fuzz/$name-" "$work" >"build/fuzz/$name.log" 2>&1 ||
      tail -n 40 "build/fuzz/$name.log"
    grep -E '^Done|^#[0-9]+.*DONE' "build/fuzz/$name.log" | tail -n 1
    rm -rf "$work"
  done < build/fuzz/fuzzers.txt
fi

if [ "$failed" -ne 0 ]; then
  echo "SOME STEPS FAILED"
  exit 1
fi
echo "ALL TEST STEPS PASSED"
