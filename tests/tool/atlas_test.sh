#!/usr/bin/env bash
# The atlas of the shipped rule, its first three catalogue types meeting:
# every link of the page leads to an element of it, every picture it shows
# is a PNG beside it, and the collision table links to every pair. When
# Chromium is installed (scripts/install-deps with ONDRIX_BROWSER_TEST=1),
# the page is also loaded in it, headless, with no console error and a
# screenshot taken.
set -euo pipefail
tool=$1 assets=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$tool" --quiet atlas "$assets/solCA.dat" "$assets/Sol.dat" --out "$tmp/atlas" --max-width 8 --max-period 8 --types 3 >/dev/null

/usr/bin/python3 - "$tmp/atlas" <<'PY'
import html.parser, os, struct, sys
folder = sys.argv[1]
class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.images, self.grid = set(), [], [], 0
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            assert a["id"] not in self.ids, f"id {a['id']} twice"
            self.ids.add(a["id"])
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
            self.grid += a["href"].startswith("#pair-")
        if tag == "img":
            self.images.append(a["src"])
page = Page()
page.feed(open(os.path.join(folder, "index.html"), encoding="utf-8").read())
for link in page.links:
    assert link.startswith("#") and link[1:] in page.ids, f"link {link} leads nowhere"
for src in page.images:
    path = os.path.join(folder, src)
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", f"{src} is no PNG"
    width, height = struct.unpack(">II", head[16:24])
    assert width > 0 and height > 0, src
assert page.grid == 9, f"{page.grid} links from the collision table, not 9"
assert all(f"pair-{a}-{b}" in page.ids for a in range(3) for b in range(3))
assert len(page.images) > 20
print(f"{len(page.links)} links and {len(page.images)} pictures checked")
PY

if command -v chromium >/dev/null 2>&1; then
  chromium --headless --no-sandbox --disable-gpu --enable-logging=stderr --v=0 --window-size=1280,800 \
    --screenshot="$tmp/shot.png" "file://$tmp/atlas/index.html" 2>"$tmp/log" >/dev/null || { cat "$tmp/log" >&2; exit 1; }
  if grep -E "CONSOLE|Uncaught|ERR_FILE_NOT_FOUND" "$tmp/log" >&2; then
    echo "FAIL: the page logged errors in Chromium" >&2
    exit 1
  fi
  [ -s "$tmp/shot.png" ] || { echo "FAIL: no screenshot" >&2; exit 1; }
  echo "loaded in Chromium without errors"
else
  echo "Chromium is not installed: the page was not loaded in a browser (ONDRIX_BROWSER_TEST=1 scripts/install-deps)"
fi
