#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own, or of another folder of
the same layer, or when core code (outside forms/) includes a window header.

The order, lowest first; folders on one line are siblings and may not include each other:
"""
import pathlib
import re
import sys

LAYERS = [
    ["base"],
    ["platform"],
    ["data"],
    ["settings"],
    ["register", "export"],
    ["util"],
    ["import"],
    ["reports/engine"],
    ["publish"],
    ["capture"],
    ["reports", "consulta"],
    ["app"],
]
RANK = {folder: i for i, layer in enumerate(LAYERS) for folder in layer}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def place(path):
    """(folder, is_window) of a path relative to src/, or None for what is not a layer."""
    parts = path.split("/")
    folder = "/".join(parts[:2]) if "/".join(parts[:2]) in RANK else parts[0]
    if folder not in RANK:
        return None
    return folder, "forms" in parts[len(folder.split("/")):-1]


ENTRIES = {"app/main.cpp"}  # a program entry wires the windows together


def check(root):
    faults = []
    src = root / "src"
    for file in sorted(list(src.rglob("*.h")) + list(src.rglob("*.cpp"))):
        rel = file.relative_to(src).as_posix()
        own = place(rel)
        if own is None or rel in ENTRIES:
            continue
        for m in INCLUDE.finditer(file.read_text(encoding="utf-8", errors="replace")):
            target = place(m.group(1))
            if target is None:
                continue
            line = file.read_text(encoding="utf-8", errors="replace")[: m.start()].count("\n") + 1
            where = f"{file.relative_to(root)}:{line}: {m.group(1)}"
            if RANK[target[0]] > RANK[own[0]]:
                faults.append(f"{where}: {own[0]} may not include the higher layer {target[0]}")
            elif RANK[target[0]] == RANK[own[0]] and target[0] != own[0]:
                faults.append(f"{where}: {own[0]} may not include its sibling {target[0]}")
            elif target[1] and not own[1]:
                faults.append(f"{where}: core code may not include a window header")
    # Core tests link no window library.
    for file in sorted((root / "tests" / "core").rglob("*.[hc]*")):
        for m in INCLUDE.finditer(file.read_text(encoding="utf-8", errors="replace")):
            if "/forms/" in m.group(1) or m.group(1).startswith("support/gui/"):
                faults.append(f"{file.relative_to(root)}: {m.group(1)}: a core test may not include windows")
    return faults


if __name__ == "__main__":
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[1])
    faults = check(root)
    for f in faults:
        print(f)
    if faults:
        print(f"check-layers: {len(faults)} include(s) against the layer order (see docs/ARCHITECTURE.md)")
        sys.exit(1)
    print("check-layers: every include points down")
