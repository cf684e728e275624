#!/usr/bin/env python3
"""Include-direction check of the plug-in's folders.

Each folder may include its own headers, plugin/include/ and folders of a lower
layer only; folders sharing a layer stay apart. Every wrong-way include is
named with file and line. Usage: check_layers.py PLUGIN_DIR
"""
import pathlib
import re
import sys

# Higher number, higher layer.
LAYERS = {
    "session": 3,
    "actuators": 2,
    "services": 2,
    "link": 1,
    "formulas": 1,
    "core": 0,
    "host": 0,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(include):
    head = include.split("/", 1)[0]
    return head if "/" in include and head in LAYERS else None


def main(root):
    root = pathlib.Path(root)
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or path.parent == root:
            continue
        own = path.relative_to(root).parts[0]
        if own not in LAYERS:
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            target = folder_of(m.group(1))
            if target is None or target == own:
                continue
            if LAYERS[target] > LAYERS[own]:
                why = f"{own} may not include the higher layer {target}"
            elif LAYERS[target] == LAYERS[own]:
                why = f"{own} and {target} share a layer and stay apart"
            else:
                continue
            faults.append(f"{path.relative_to(root.parent)}:{number}: {m.group(1)}: {why}")
    for f in faults:
        print(f)
    if faults:
        print(f"{len(faults)} wrong-way include(s)")
        return 1
    print("plug-in includes follow the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "plugin"))
