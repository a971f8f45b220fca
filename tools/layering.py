#!/usr/bin/env python3
"""Include graph of src/: the edges between folders, and those that run against the layering.

Layers, lowest first: platform (interfaces and portable services), res (templates and
strings), the backends (platform/qt, platform/win32, platform/posix), then serial, receive
and send side by side, then app, and last the entry points (main_*.cpp, winmain_*.cpp),
which live with their backends but start the app. A folder may include its own files and any lower layer; the three side-by-side
folders reach each other only through a header whose name ends in _view.h or _sink.h
(a small interface). Backends never include each other, and platform/ never includes a
backend. Usage: tools/layering.py [SRC] [--dot]
"""
import os
import re
import sys
from collections import Counter

RANK = {"platform": 0, "res": 1, "platform/qt": 2, "platform/win32": 2, "platform/posix": 2, "platform/headless": 2,
        "serial": 3, "receive": 3, "send": 3, "app": 4, "entry": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def module_of(path):
    parts = path.split("/")
    if re.match(r"(win)?main_\w+\.cpp$", parts[-1]) or parts[-1] == "main.cpp" and parts[0] == "app":
        return "entry"
    if parts[0] == "platform" and len(parts) > 2:
        return "platform/" + parts[1]
    # Before the backends had folders of their own, their file names told them apart.
    backend = re.search(r"_(qt|win32|posix|linux|iconv|ini|headless)\.(h|cpp)$|^(win32)_api\.h$", parts[-1])
    if parts[0] == "platform" and backend:
        return {"linux": "platform/posix", "iconv": "platform/posix", "ini": "platform/posix",
                }.get(backend.group(1) or "win32", "platform/" + (backend.group(1) or "win32"))
    return parts[0]


def against_layering(source, target, header):
    a, b = module_of(source), module_of(target)
    if a == b or a not in RANK or b not in RANK:
        return False
    if RANK[b] > RANK[a]:
        return True
    if RANK[a] == RANK[b]:
        # Siblings: backends never; serial/receive/send only through an interface header.
        return not (RANK[a] == 3 and re.search(r"_(view|sink)\.h$", header))
    return False


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    src = args[0] if args else os.path.join(os.path.dirname(__file__), "..", "src")
    edges = Counter()
    bad = []
    for root, _, files in os.walk(src):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(root, name), src)
            with open(os.path.join(root, name), encoding="utf-8") as f:
                for target in INCLUDE.findall(f.read()):
                    if not os.path.exists(os.path.join(src, target)):
                        continue
                    edges[(module_of(path), module_of(target))] += 1
                    if against_layering(path, target, target):
                        bad.append((path, target))
    if "--dot" in sys.argv:
        print("digraph src {")
        for (a, b), n in sorted(edges.items()):
            if a != b:
                print(f'  "{a}" -> "{b}" [label={n}];')
        print("}")
        return
    for (a, b), n in sorted(edges.items()):
        if a != b:
            print(f"{a:16} -> {b:16} {n:4}")
    print(f"\n{len(bad)} include edges against the layering")
    for path, target in sorted(bad):
        print(f"  {path} -> {target}")


if __name__ == "__main__":
    main()
