#!/usr/bin/env python3
"""Checks that the player's sources include only their own layer or layers
below it, as docs/architecture.md describes them, and that the Qt-free
core folders include no Qt header.  Prints each offending include and
exits with 1 when there is one.  Usage: check_layers.py [SOURCE_ROOT]"""
import pathlib
import re
import sys

# Lowest first.  A core folder sees the cores before it; a Qt folder sees
# every core and the Qt folders before it.
CORES = ["tagtext", "objects/core", "testrun/core", "app/core", "results/core"]
QT = ["media", "objects", "window", "testrun", "results", "app"]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(path):
    """The layer of a path relative to the root: (kind, rank) or None."""
    parts = pathlib.PurePosixPath(path).parts
    if len(parts) < 2:
        return None
    if len(parts) >= 3 and f"{parts[0]}/{parts[1]}" in CORES:
        return ("core", CORES.index(f"{parts[0]}/{parts[1]}"))
    if parts[0] in CORES:
        return ("core", CORES.index(parts[0]))
    if parts[0] in QT:
        return ("qt", QT.index(parts[0]))
    return None


def allowed(source, target):
    kind, rank = source
    target_kind, target_rank = target
    if kind == "core":
        return target_kind == "core" and target_rank <= rank
    return target_kind == "core" or target_rank <= rank


def check(root):
    faults = []
    folders = sorted({name.split("/")[0] for name in CORES + QT})
    files = sorted(f for folder in folders for f in (root / folder).rglob("*"))
    for file in files:
        if file.suffix not in (".h", ".cpp") or not file.is_file():
            continue
        relative = file.relative_to(root).as_posix()
        source = layer_of(relative)
        if source is None:
            continue
        for number, line in enumerate(file.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quote, name = match.groups()
            if quote == "<":
                if source[0] == "core" and re.match(r"Q[A-Za-z]", name):
                    faults.append(f"{relative}:{number}: a core file includes Qt's {name}")
                continue
            target = layer_of(name)
            if target is not None and not allowed(source, target):
                faults.append(f"{relative}:{number}: includes {name} from a layer above it")
    return faults


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    faults = check(root)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
