#!/usr/bin/env bash
# Fails when two headers of the programs define a class or struct of the same name at namespace
# scope: linked into one program, the two would share one vtable and type information, and code
# built against one would run the other's.
set -euo pipefail
cd "$1"
duplicates=$(grep -rhoE '^(class|struct) [A-Z][A-Za-z0-9_]*( final)? *(:|\{|$)' --include='*.h' \
               agent common installer uninstaller server |
             sed -E 's/^(class|struct) ([A-Za-z0-9_]+).*/\2/' | sort | uniq -d)
if [ -n "$duplicates" ]; then
  echo "defined in more than one header:"
  for name in $duplicates; do
    grep -rlE "^(class|struct) $name( final)? *(:|\{|$)" --include='*.h' agent common installer uninstaller server |
      sed "s/^/  $name: /"
  done
  exit 1
fi
echo "every class name is defined once"
