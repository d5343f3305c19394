#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR, as a package would, and checks
# what a desktop needs: the installed files, the menu entry and the
# metainfo through their validators, the man pages, and the launcher under
# Xvfb with HOME in a temporary folder: it makes the working folder with
# the shipped files, keeps what the user saved there, and opens the window.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A prefix with a space in it: the launcher must cope with any path. The
# program's part, as its package holds it; the library has a test of its own.
dest="$tmp/dest dir"
DESTDIR="$dest" cmake --install "$build" --prefix /usr --component ondrix >/dev/null
root="$dest/usr"

expected="bin/ondrix
bin/ondrix-launch
bin/ondrix-tool
share/applications/org.ondrix.Ondrix.desktop
share/doc/ondrix/changelog.gz
share/doc/ondrix/copyright
share/doc/ondrix/guide.html
share/icons/hicolor/scalable/apps/org.ondrix.Ondrix.svg
share/man/man1/ondrix-launch.1.gz
share/man/man1/ondrix-tool.1.gz
share/man/man1/ondrix.1.gz
share/metainfo/org.ondrix.Ondrix.metainfo.xml
share/ondrix/Exp1.dat
share/ondrix/Exp2.dat
share/ondrix/Exp3.dat
share/ondrix/Exp4.dat
share/ondrix/Exp5.dat
share/ondrix/Exp6.dat
share/ondrix/Exp7.dat
share/ondrix/Exp8.dat
share/ondrix/Sol.dat
share/ondrix/data/filedem.bmp
share/ondrix/solCA.dat
share/ondrix/tgho.dat"
installed=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$(echo "$expected" | LC_ALL=C sort)" ] || fail "installed files differ:
$(diff <(echo "$expected" | LC_ALL=C sort) <(echo "$installed") || true)"
[ -z "$(find "$root" -type d -empty)" ] || fail "empty folders installed: $(find "$root" -type d -empty)"
[ -x "$root/bin/ondrix-launch" ] || fail "the launcher is not executable"

desktop-file-validate "$root/share/applications/org.ondrix.Ondrix.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/org.ondrix.Ondrix.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"
# Outputs are read whole before they are matched: grep -q stops reading at
# its match, and a writer with more to say would then fail the pipe.
for page in ondrix ondrix-tool; do
  [[ "$(zcat "$root/share/man/man1/$page.1.gz")" == *".TH ${page^^} 1"* ]] || fail "man page $page"
done
[[ "$("$root/bin/ondrix-tool" --version)" == "ondrix-tool "* ]] || fail "ondrix-tool --version"
[[ "$(env -i "$root/bin/ondrix" --version)" == "ondrix "* ]] || fail "ondrix --version without a display"

# Starts the launcher on a display of its own, with nothing of this
# environment but HOME (and XDG_DATA_HOME when given); waits for the main
# window, then closes the program.
home="$tmp/home"
mkdir "$home"
launcher="$root/bin/ondrix-launch"
launch() {
  env -i HOME="$home" PATH=/usr/bin:/bin "$@" xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    "$0" 2>/dev/null &
    pid=$!
    timeout 60 xdotool search --sync --name "^Ondrix_1$" >/dev/null
    found=$?
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    exit $found' "$launcher"
}

work="$home/.local/share/ondrix"
launch || fail "the main window did not open on the first start"
diff -r "$root/share/ondrix" "$work" >/dev/null || fail "the working folder does not hold the shipped files"

# What the user saved, changed and removed.
printf 'the user\047s own rule' >"$work/solCA.dat"
echo kept >"$work/mine.dat"
rm "$work/Exp3.dat"
launch || fail "the main window did not open on the second start"
[ "$(cat "$work/solCA.dat")" = "the user's own rule" ] || fail "a saved file was overwritten"
[ "$(cat "$work/mine.dat")" = kept ] || fail "a file of the user's own is gone"
cmp -s "$work/Exp3.dat" "$root/share/ondrix/Exp3.dat" || fail "a removed shipped file did not come back"

launch XDG_DATA_HOME="$tmp/xdg" || fail "the main window did not open with XDG_DATA_HOME set"
[ -f "$tmp/xdg/ondrix/Sol.dat" ] || fail "XDG_DATA_HOME/ondrix was not used"

# Through a link to the launcher, as from ~/bin; a relative XDG_DATA_HOME
# is no base folder, so the default holds.
ln -s "$root/bin/ondrix-launch" "$tmp/ondrix-launch"
launcher="$tmp/ondrix-launch"
rm -r "$work"
launch XDG_DATA_HOME=relative || fail "the main window did not open through a link to the launcher"
[ -f "$work/Sol.dat" ] || fail "a relative XDG_DATA_HOME was not ignored"

# Where it cannot work it says so, and starts nothing.
touch "$tmp/file"
message=$(env -i XDG_DATA_HOME="$tmp/file" "$root/bin/ondrix-launch" 2>&1) && fail "started on a file"
[ "$message" = "ondrix-launch: cannot make the working folder $tmp/file/ondrix" ] || fail "message: $message"
message=$(env -i "$root/bin/ondrix-launch" 2>&1) && fail "started without HOME"
[ "$message" = "ondrix-launch: neither XDG_DATA_HOME nor HOME is set: no folder to work in" ] || fail "message: $message"
[[ "$(env -i HOME="$tmp/nohome" "$root/bin/ondrix-launch" --help)" == "Usage: ondrix-launch"* ]] || fail "--help"
[ ! -e "$tmp/nohome" ] || fail "--help made a working folder"

# The Python module, as python3-ondrix holds it, beside the program's part:
# imported from another folder by Debian's interpreter, it finds the
# shipped files of its prefix. Under /usr/local it goes where that
# interpreter looks there. A sanitized module cannot be loaded by a plain
# interpreter: the Release build checks this.
if grep -q '^ONDRIX_BUILD_PYTHON:BOOL=ON' "$build/CMakeCache.txt" && ! grep -q 'CMAKE_CXX_FLAGS:STRING=.*-fsanitize' "$build/CMakeCache.txt"; then
  DESTDIR="$dest" cmake --install "$build" --prefix /usr --component python >/dev/null
  site="$root/lib/python3/dist-packages"
  modules=$(cd "$site" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
  [[ "$modules" == "ondrix/__init__.py ondrix/_data.py ondrix/_ondrix.cpython-"*".so ondrix/plotting.py " ]] ||
    fail "python module files: $modules"
  [ -f "$root/share/doc/python3-ondrix/copyright" ] || fail "python3-ondrix has no copyright file"
  found=$(cd "$tmp" && env -i PATH=/usr/bin:/bin PYTHONPATH="$site" /usr/bin/python3 -c '
import ondrix
rule = ondrix.Rule(ondrix.shipped("solCA.dat"))
print(ondrix.__version__, len(ondrix.search(rule)["solitons"]))') || fail "import ondrix from the installed files"
  [ "$found" = "$("$root/bin/ondrix-tool" --version | cut -d" " -f2) 16" ] || fail "the installed module says: $found"
  local_site=$(/usr/bin/python3 -c 'import sys; print(f"lib/python3.{sys.version_info.minor}/dist-packages")')
  cmake --install "$build" --prefix "$tmp/local" --component python >/dev/null
  [ -f "$tmp/local/$local_site/ondrix/__init__.py" ] || fail "not in $local_site under another prefix"
fi
echo "installed and launched"
