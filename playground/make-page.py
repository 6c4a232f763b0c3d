#!/usr/bin/env python3
"""Makes the playground page: the template with its style, its scripts and
the WebAssembly module (gzip, then base64) inside it, one file that needs
nothing else. The same sources give the same bytes: gzip records no time.

Usage: make-page.py PAGE-SOURCES-FOLDER MODULE.wasm OUT.html"""
import base64
import gzip
import pathlib
import sys


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sources, module, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    page = (sources / "page.html").read_text(encoding="utf-8")
    parts = {
        "/*PAGE_CSS*/": (sources / "page.css").read_text(encoding="utf-8").strip(),
        "/*PAGE_JS*/": "\n".join((sources / name).read_text(encoding="utf-8").strip() for name in ("system.js", "page.js")),
        "/*PAGE_MODULE*/": base64.b64encode(gzip.compress(module.read_bytes(), 9, mtime=0)).decode("ascii"),
    }
    for mark, text in parts.items():
        if page.count(mark) != 1:
            sys.exit(f"make-page.py: the template holds {mark} {page.count(mark)} times, not once")
        page = page.replace(mark, text)
    if "</script" in parts["/*PAGE_JS*/"]:
        sys.exit("make-page.py: the script would end its own element")
    out.write_text(page, encoding="utf-8", newline="\n")


if __name__ == "__main__":
    main()
