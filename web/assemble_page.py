#!/usr/bin/env python3
"""Puts the page together as one HTML file: the module inside as base64, the
worker's scripts as inline text (the page starts the worker from a Blob URL),
the style and the page's script inline, the help page's content after the
page, and a Content-Security-Policy that lets nothing be fetched, connected
to or loaded from anywhere: only the page's own script and style (by their
hashes), the worker from a Blob URL, the module compiled from the page's
bytes, and pictures and downloads made from the page's own data.

    assemble_page.py MODULE.wasm OUT.html
"""
import base64
import hashlib
import pathlib
import re
import sys

here = pathlib.Path(__file__).resolve().parent
root = here.parent


def inline(text, name):
    if re.search(r"</(script|style)", text, re.IGNORECASE):
        sys.exit(f"assemble_page: {name} holds a closing tag and cannot be put inline")
    return text


def digest(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode()).digest()).decode() + "'"


def help_body():
    page = (root / "resources/app/help/index.html").read_text(encoding="utf-8")
    match = re.search(r"<body[^>]*>(.*)</body>", page, re.DOTALL | re.IGNORECASE)
    if not match:
        sys.exit("assemble_page: the help page has no body")
    return match.group(1).strip()


def main():
    module_path, out_path = sys.argv[1:3]
    style = inline((here / "page.css").read_text(encoding="utf-8"), "page.css")
    script = inline((here / "page.js").read_text(encoding="utf-8"), "page.js")
    policy = "; ".join([
        "default-src 'none'",
        f"script-src {digest(script)} 'wasm-unsafe-eval'",
        "worker-src blob:",
        f"style-src {digest(style)}",
        "img-src blob: data:",
        "base-uri 'none'",
        "form-action 'none'",
    ])
    module = base64.b64encode(pathlib.Path(module_path).read_bytes()).decode()
    parts = {
        "CONTENT_SECURITY_POLICY": policy,
        "STYLE": style,
        "HELP": help_body(),
        "MODULE": module,
        "ENGINE": inline((here / "engine.js").read_text(encoding="utf-8"), "engine.js"),
        "WORKER": inline((here / "worker.js").read_text(encoding="utf-8"), "worker.js"),
        "PAGE": script,
    }
    page = (here / "page.html").read_text(encoding="utf-8")
    # One pass, so that no part's text is searched for another's marker.
    page = re.sub(r"@([A-Z_]+)@", lambda m: parts[m.group(1)], page)
    pathlib.Path(out_path).write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
