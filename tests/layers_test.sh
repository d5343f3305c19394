#!/usr/bin/env bash
# The layers of the source tree: the engine and the command operations are
# free of Qt, and nothing outside a windows/ folder includes a header from
# one. A Qt header or a window header reached from the core fails the test
# with the file and the line.
set -euo pipefail
cd "$1"
status=0
while IFS= read -r file; do
  while IFS= read -r hit; do
    echo "FAIL: $file:$hit" >&2
    status=1
  done < <(grep -nE '#include[[:space:]]*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/[^>"]*|[a-z]+/windows/[^>"]*)[>"]' "$file" || true)
done < <(find automaton datafiles mainwindow rules solitons tool -name '*.h' -o -name '*.cpp' | grep -v '/windows/' | sort)
exit $status
