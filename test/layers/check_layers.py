#!/usr/bin/env python3
"""Include-direction check of the plug-in's folders.

Each folder may include its own headers, plugin/include/ and folders of a lower
layer only; folders sharing a layer stay apart. Every wrong-way include is
named with file and line.

The session record is reached only through the accessor headers of the layers
that own its parts (core/session_record.h, link/item_record.h, ...): its names
appear nowhere else, so the includes of those headers show who uses which part.

Most routines are declared in the one exported header, so an include alone
does not show every dependency: calls of exported routines are checked the
same way, by the folder that defines each routine. Usage: check_layers.py PLUGIN_DIR
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
DEFINITION = re.compile(r'^\s*VAZ_EXPORT\s+[\w\s*]*?\b(\w+)\s*\([^;]*?\{', re.M)
WORD = re.compile(r'\b\w+\b')
# The record's own names, and the files that may say them: the accessor headers
# and the file that defines the record.
RECORD_NAMES = re.compile(r"\b(TOKEN_OLD|TOKEN_OLD_T|CSTRING)\b")
RECORD_FILES = re.compile(r"(_record\.h|^core/session_state\.cpp)$")

# Calls that still cross between siblings: the actuator tests show live data
# through the services' item list and data-stream engines. Reported, not failed;
# a crossing not listed here fails.
KNOWN_CALLS = {
    ("actuators", "GetData_ECU_CD"),
    ("actuators", "CurrentData_SingleCom_Allcal"),
    ("actuators", "CurrentData_SingleCom_Allcal_DisplayAll"),
}


def folder_of(include):
    head = include.split("/", 1)[0]
    return head if "/" in include and head in LAYERS else None


def wrong_way(own, target):
    if LAYERS[target] > LAYERS[own]:
        return f"{own} may not use the higher layer {target}"
    if LAYERS[target] == LAYERS[own] and target != own:
        return f"{own} and {target} share a layer and stay apart"
    return None


def code_only(text):
    """The text without comments and string contents, lines kept in place."""
    text = re.sub(r"/\*.*?\*/", lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
    text = re.sub(r"//[^\n]*", "", text)
    return re.sub(r'"(?:\\.|[^"\\])*"', '""', text)


def sources(root):
    for path in sorted(root.rglob("*")):
        if path.suffix in (".h", ".cpp") and path.parent != root and path.relative_to(root).parts[0] in LAYERS:
            yield path, path.relative_to(root).parts[0], path.read_text(errors="replace")


def check_calls(root, faults, known):
    owner = {}
    for path, own, text in sources(root):
        if path.suffix == ".cpp":
            for m in DEFINITION.finditer(code_only(text)):
                owner[m.group(1)] = own
    for path, own, text in sources(root):
        for number, line in enumerate(code_only(text).splitlines(), 1):
            for name in sorted(set(WORD.findall(line))):
                target = owner.get(name)
                why = target and wrong_way(own, target)
                if not why:
                    continue
                where = f"{path.relative_to(root.parent)}:{number}: calls {name} ({target}): {why}"
                (known if (own, name) in KNOWN_CALLS else faults).append(where)


def check_record(root, faults):
    for path, own, text in sources(root):
        name = path.relative_to(root).as_posix()
        if RECORD_FILES.search(name):
            continue
        for number, line in enumerate(code_only(text).splitlines(), 1):
            m = RECORD_NAMES.search(line)
            if m:
                faults.append(f"{path.relative_to(root.parent)}:{number}: names {m.group(1)}: use the accessors of its layer")


def main(root):
    root = pathlib.Path(root)
    faults = []
    for path, own, text in sources(root):
        for number, line in enumerate(text.splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            target = folder_of(m.group(1))
            why = target and wrong_way(own, target)
            if why:
                faults.append(f"{path.relative_to(root.parent)}:{number}: includes {m.group(1)}: {why}")
    check_record(root, faults)
    known = []
    check_calls(root, faults, known)
    for k in known:
        print(f"known: {k}")
    for f in faults:
        print(f)
    if faults:
        print(f"{len(faults)} wrong-way include(s), call(s) or record use(s)")
        return 1
    print("plug-in includes and calls follow the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "plugin"))
