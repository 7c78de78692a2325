#!/usr/bin/python3
# Turns a tree of HTML documentation into one book: every page flat as "<path with spaces>.PGX"
# in the book folder, what the pages use (pictures, stylesheets, scripts) under "zdroje/" with
# its own tree kept, and every link and source rewritten to those names.
#   corpus_book.py SOURCE_ROOT PAGES_SUBFOLDER BOOK_FOLDER
import os
import re
import shutil
import sys
from urllib.parse import quote, unquote

source, subfolder, book = sys.argv[1], sys.argv[2], sys.argv[3]
source = os.path.realpath(source)
pages_root = os.path.normpath(os.path.join(source, subfolder))
resources = "zdroje"

pages = {}  # relative to source -> flat name
for folder, dirs, files in os.walk(pages_root):
    dirs[:] = sorted(d for d in dirs if not d.startswith("_"))
    for name in sorted(files):
        if not name.endswith(".html"):
            continue
        path = os.path.relpath(os.path.join(folder, name), source)
        flat = os.path.relpath(os.path.join(folder, name), pages_root)[: -len(".html")]
        flat = flat.replace(os.sep, " ").replace(".", "_") + ".PGX"
        pages[path] = flat
if len(set(pages.values())) != len(pages):
    sys.exit("two pages would get one name")

os.makedirs(book, exist_ok=True)
copied = set()

BASE = re.compile(rb"<base\s[^>]*>", re.I)
BASE_HREF = re.compile(rb"""href\s*=\s*["']([^"']*)["']""", re.I)
ATTR = re.compile(rb"""(\s(?:href|src)\s*=\s*)(["'])([^"']*)\2""", re.I)
CSS_URL = re.compile(rb"""url\(\s*(["']?)([^"')]+)\1\s*\)""")
SCHEME = re.compile(rb"^[a-zA-Z][a-zA-Z0-9+.-]*:")


def copy_resource(path):
    if path in copied:
        return
    copied.add(path)
    target = os.path.join(book, resources, path)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copyfile(os.path.join(source, path), target)
    if path.endswith(".css"):
        # What a stylesheet uses lies beside it in the same tree: copy it too.
        with open(os.path.join(source, path), "rb") as f:
            for m in CSS_URL.finditer(f.read()):
                value = m.group(2)
                if SCHEME.match(value) or value.startswith(b"#") or value.startswith(b"/"):
                    continue
                rel = value.split(b"#")[0].split(b"?")[0].decode("utf-8", "replace")
                inner = os.path.normpath(os.path.join(os.path.dirname(path), unquote(rel)))
                if not inner.startswith("..") and os.path.isfile(os.path.join(source, inner)):
                    copy_resource(inner)


def rewrite(base, value):
    if not value or SCHEME.match(value) or value.startswith(b"#") or value.startswith(b"/"):
        return value
    text = value.decode("utf-8", "replace")
    fragment = ""
    for mark in ("#", "?"):
        if mark in text:
            text, rest = text.split(mark, 1)
            fragment = mark + rest + fragment if mark == "#" else fragment
    target = os.path.normpath(os.path.join(base, unquote(text)))
    if target in pages:
        return (quote(pages[target]) + fragment).encode()
    if not target.startswith("..") and os.path.isfile(os.path.join(source, target)):
        copy_resource(target)
        return (quote(resources + "/" + target) + fragment).encode()
    return value


for path, flat in pages.items():
    with open(os.path.join(source, path), "rb") as f:
        html = f.read()
    base = os.path.dirname(path)
    m = BASE.search(html)
    if m:
        href = BASE_HREF.search(m.group(0))
        if href:
            base = os.path.normpath(os.path.join(base, href.group(1).decode("utf-8", "replace")))
        html = html[: m.start()] + html[m.end():]
    html = ATTR.sub(lambda a: a.group(1) + a.group(2) + rewrite(base, a.group(3)) + a.group(2), html)
    with open(os.path.join(book, flat), "wb") as f:
        f.write(html)

print(f"{book}: {len(pages)} pages, {len(copied)} files they use", file=sys.stderr)
