#!/usr/bin/env python3
"""pack_page.py LINKED PAGE ZOPFLI TERSER [WORKER]: makes the page one file, PAGE, from LINKED
(the page as linked, with its program's script NAME.js and code NAME.wasm beside it); WORKER
is its service worker's file, where it has one.

A first visit is then one request: on a slow network each request costs a round trip, and a
page that fetched its script and code after itself waited two. The code is deflated here, by
ZOPFLI (a few per cent smaller than a host's gzip), so that a host that does not compress
sends little more than one that does: it arrives as base64 in small scripts at the end of the
page, each of which hands its piece to the page (code()) as the browser parses it, so the
loading bar moves as the page arrives. The program's script, minified by TERSER (its names
inside functions shortened; the names the page and the code share are the top level's, which
stay), follows as text (not run until the page has checked that the browser can run it), and
a last script says that everything has arrived (arrived()), so a page cut short by the
network knows it.
"""
import base64
import json
import os
import re
import subprocess
import sys

# A piece is small enough that the bar moves often on a slow network, and a whole number of
# base64 quads, so that each piece decodes on its own.
PIECE = 16 * 1024


def main(linked, out, zopfli, terser, worker=""):
    folder, name = os.path.split(linked)
    stem = os.path.splitext(name)[0]
    with open(linked, encoding="utf-8") as f:
        html = f.read()
    script = subprocess.run([terser, os.path.join(folder, stem + ".js"), "--compress", "--mangle"],
                            check=True, stdout=subprocess.PIPE, encoding="utf-8").stdout

    # The linker's tag for the script, which the page no longer loads.
    tag = re.compile(r'<template id="game">.*?</template>\n', re.S)
    if not tag.search(html) or "@TOLVANE_PAGE_PROGRAM@" not in html:
        sys.exit(f"pack_page.py: {linked} is not the page's shell as linked")
    # The script sits inside a script element, where only these could end it early.
    for ending in ("</script", "<!--"):
        if ending in script.lower():
            sys.exit(f"pack_page.py: {stem}.js holds {ending!r}, which would end the page's script")

    deflated = subprocess.run([zopfli, "--zlib", "-c", os.path.join(folder, stem + ".wasm")],
                              check=True, stdout=subprocess.PIPE).stdout
    deflated = base64.b64encode(deflated).decode("ascii")
    pieces = [deflated[i:i + PIECE] for i in range(0, len(deflated), PIECE)]
    program = "".join(f'<script>code("{piece}")</script>\n' for piece in pieces)
    program += f'<script type="text/plain" id="program">{script}</script>\n<script>arrived()</script>'
    loads = json.dumps({"code": len(deflated)})
    html = tag.sub("", html).replace("@TOLVANE_PAGE_LOADS@", loads)
    html = html.replace("@TOLVANE_PAGE_WORKER@", worker)
    html = html.replace("@TOLVANE_PAGE_PROGRAM@", program)
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write(html)


if __name__ == "__main__":
    if len(sys.argv) not in (5, 6):
        sys.exit(__doc__)
    main(*sys.argv[1:])
