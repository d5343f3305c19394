#!/usr/bin/env bash
# The layers of the source tree: the engine and the command operations are
# free of Qt, and nothing outside a windows/ folder includes a header from
# one. Of the tool, only its figures (tool/figure.cpp) are drawn with Qt's
# painter. A Qt header or a window header reached from the core fails the test
# with the file and the line.
set -euo pipefail
cd "$1"
status=0
while IFS= read -r file; do
  while IFS= read -r hit; do
    echo "FAIL: $file:$hit" >&2
    status=1
  done < <(grep -nE '#include[[:space:]]*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/[^>"]*|([a-z]+/)+windows/[^>"]*)[>"]' "$file" || true)
done < <(find automaton datafiles mainwindow rules solitons tool python -name '*.h' -o -name '*.cpp' | grep -v '/windows/' |
         grep -v '^tool/figure\.cpp$' | sort)

# The engine underneath the commands never sees the window's state or a
# display: its files include neither, and in the files it shares with the
# commands its functions take neither.
window='OndrixState|RingDisplay|PictureDisplay|Readouts|mainwindow/ondrixstate\.h|automaton/display\.h'
for file in automaton/automaton.{h,cpp} solitons/{enumerate,hunt,shipdata,survey,collisions}.{h,cpp} mainwindow/spacetime.h; do
  if grep -nE "$window" "$file" >&2; then
    echo "FAIL: $file reaches the window's state or a display" >&2
    status=1
  fi
done
engine='findSolitons|searchRing|enumerateSolitons|evaluateRule|huntRules|runGenerations|returnsToSwappedStart|solitonPhaseTables|collide|surveyCollisions|renderSpaceTime|identifySoliton|climbAccepts|recordGenerations|tagSpaceTime|mergeEnumerations|completeCollisions|locateSolitons'
declarations=$(perl -0777 -ne 'while (/\b('"$engine"')\(([^;{]*)[;{]/g) { print "$ARGV: $1($2)\n" }' \
  automaton/*.h solitons/*.h mainwindow/*.h)
[ "$(echo "$declarations" | grep -c .)" -ge 18 ] || { echo "FAIL: engine declarations not found" >&2; status=1; }
if echo "$declarations" | grep -E 'OndrixState|Display|Readouts' >&2; then
  echo "FAIL: an engine function takes the window's state or a display" >&2
  status=1
fi
exit $status
