#!/usr/bin/env bash
# Fails when a source of the Qt-free core (or the header beside it) includes a Qt header.
set -euo pipefail
list=$1
[ -s "$list" ] || { echo "no core sources listed in $list"; exit 1; }
status=0
checked=0
while IFS= read -r src; do
  [ -n "$src" ] || continue
  for f in "$src" "${src%.*}.h"; do
    [ -f "$f" ] || continue
    checked=$((checked + 1))
    if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]|Qt[A-Za-z]*/|q[a-z]+\.h)' "$f"; then
      echo "Qt include in core file: $f"
      status=1
    fi
  done
done < "$list"
echo "checked $checked core files"
exit $status
