#!/usr/bin/env python3
"""Checks the layering rules of src/ from the #include lines alone.

1. No two folders under src/ include each other, directly or round a circle
   of several folders: dependencies point one way.
2. Logic never includes a Windows header: a logic file is any file that is not
   a window file (frm*), a platform file (*_win.*, everything in platform/ and
   vlshell/), or the composition root (app/).
3. Logic never includes a window-side file (a window, anything of platform/
   or the composition root): it reaches the system through core/'s
   interfaces.

Prints every violation and exits with 1 when there is one.
"""
import os
import re
import sys

WINDOWS_HEADERS = {
    "windows.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h", "objbase.h",
    "ole2.h", "ddeml.h", "winuser.h", "wingdi.h", "winbase.h", "winreg.h", "shlwapi.h",
    "oleauto.h", "unknwn.h", "uxtheme.h", "mmsystem.h", "winver.h",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def is_windows_side(rel):
    folder, name = rel.split("/", 1) if "/" in rel else ("", rel)
    base = os.path.basename(name)
    return (folder in ("platform", "vlshell", "app") or base.startswith("frm")
            or re.search(r"_win\.(h|cpp)$", base) is not None)


def main(root):
    src = os.path.join(root, "src")
    edges = {}  # folder -> {folder: example}
    problems = []
    for dirpath, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            folder = rel.split("/", 1)[0] if "/" in rel else ""
            windows_side = is_windows_side(rel)
            with open(path, encoding="latin-1") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    kind, target = m.groups()
                    where = f"src/{rel}:{number}"
                    if kind == "<" and target.lower() in WINDOWS_HEADERS and not windows_side:
                        problems.append(f"{where}: logic includes the Windows header <{target}>")
                    if kind != '"' or "/" not in target:
                        continue
                    to = target.split("/", 1)[0]
                    if not os.path.isdir(os.path.join(src, to)):
                        continue
                    if not windows_side and is_windows_side(target):
                        problems.append(f"{where}: logic includes the window-side {target}")
                    if to != folder:
                        edges.setdefault(folder, {}).setdefault(to, f"{where} includes {target}")

    # Circles between folders: strongly connected components of two or more.
    index, low, stack, on_stack, order = {}, {}, [], set(), [0]
    circles = []

    def visit(v):
        index[v] = low[v] = order[0]
        order[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in edges.get(v, {}):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                circles.append(sorted(component))

    for v in sorted(edges):
        if v not in index:
            visit(v)
    for component in circles:
        lines = [f"  {edges[a][b]}" for a in component for b in component
                 if b in edges.get(a, {})]
        problems.append("folders include each other in a circle: " + ", ".join(component) +
                        "\n" + "\n".join(lines))

    for p in problems:
        print(p)
    if not problems:
        print("layers ok: " + ", ".join(f"{a} -> {' '.join(sorted(b))}" for a, b in sorted(edges.items())))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")))
