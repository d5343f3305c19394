#!/usr/bin/env bash
# The installed library: the build's "dev" part installed into a temporary
# prefix; every installed header compiles on its own include path with
# nothing of Qt; the example builds against it through find_package(Ondrix)
# and through pkg-config, and both builds give a soliton's period.
set -euo pipefail
build=$1
source=$2
flags=${3:-}  # the build's compiler flags (a sanitized library needs sanitized consumers)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" --component dev >/dev/null

# The library's folder: lib/, or Debian's multiarch folder below it.
lib=$(cd "$prefix" && dirname "$(find lib -name libondrix.a)")
for f in include/ondrix/automaton/automaton.h include/ondrix/solitons/enumerate.h "$lib/cmake/Ondrix/OndrixConfig.cmake" \
  "$lib/cmake/Ondrix/OndrixTargets.cmake" "$lib/pkgconfig/ondrix.pc" "$lib/libondrix.a"; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
! find "$prefix" -name 'bitslice.h' -o -name 'stepkernels.h' -o -path '*/windows/*' | grep -q . ||
  fail "private or window headers installed"
! grep -rl 'include <Q' "$prefix/include" || fail "an installed header includes Qt"

# Every public header at once, on the installed include path alone (the
# headers name each other as <ondrix/...>): one that names a header left
# out, or one of the source tree, does not compile.
(cd "$prefix/include" && find ondrix -name '*.h' | sed 's/.*/#include <&>/') >"$tmp/all.cpp"
echo 'int main() {}' >>"$tmp/all.cpp"
c++ -std=c++20 -fsyntax-only -I"$prefix/include" "$tmp/all.cpp" ||
  fail "the installed headers do not compile on their own"

expect="period 5, shift 2, speed 160"
cmake -S "$source/examples" -B "$tmp/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$tmp/cmake-build" >/dev/null
got=$("$tmp/cmake-build/period" "$source/assets/solCA.dat" CCABB)
[ "$got" = "$expect" ] || fail "find_package build: '$got', not '$expect'"

export PKG_CONFIG_PATH="$prefix/$lib/pkgconfig"
# shellcheck disable=SC2046 # the flags are words
# shellcheck disable=SC2086 # the flags are words too
c++ -std=c++20 $flags -o "$tmp/period" "$source/examples/period.cpp" $(pkg-config --cflags --libs --static ondrix)
got=$("$tmp/period" "$source/assets/solCA.dat" CCABB)
[ "$got" = "$expect" ] || fail "pkg-config build: '$got', not '$expect'"
set +e
"$tmp/period" "$source/assets/solCA.dat" ABAB >/dev/null
status=$?
set -e
[ "$status" = 2 ] || fail "a row that is no soliton: exit $status, not 2"
echo "library installs and builds: $got"
