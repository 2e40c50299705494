#!/usr/bin/env python3
"""Checks that the layers of src/ only include headers of the layers below them.

Each layer is a folder of src/ holding a library (or two); a quoted include is
looked up among the public include folders of every layer, and must belong to
the including file's own layer or to one it may use. Exits 1 and names each
include that points the wrong way.

    scripts/check-layers.py [ROOT]
"""

import pathlib
import re
import sys

# Layer -> (its folder under src/, the layers it may use besides itself).
# The order is the order of building: every layer only uses layers above it here.
LAYERS = {
    "core": ("core", []),
    "crypto": ("crypto", []),
    "store": ("data/store", ["core", "crypto"]),
    "reader": ("reader", ["core", "crypto", "store"]),
    "data": ("data", ["core", "crypto", "store"]),
    "export": ("export", ["core", "store", "data"]),
    "app": ("app", ["core", "store", "data"]),
    "cli": ("cli", ["core", "crypto", "store", "data", "export"]),
    "shell": ("shell", ["core", "store", "data", "export", "app"]),
    "main": ("main", ["core", "store", "data", "export", "app", "cli", "shell"]),
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def layer_of(path, src):
    """The layer a file belongs to: the longest layer folder that holds it."""
    relative = path.relative_to(src).as_posix()
    best = None
    for name, (folder, _) in LAYERS.items():
        if relative.startswith(folder + "/") and (best is None or len(folder) > len(LAYERS[best][0])):
            best = name
    return best


def public_headers(src):
    """Maps each include text ("data/Recordset.h") to the layer whose include folder has it."""
    owners = {}
    for name, (folder, _) in LAYERS.items():
        for include_dir in (src / folder).glob("**/include"):
            if layer_of(include_dir, src) != name:
                continue
            for header in include_dir.rglob("*.h"):
                owners[header.relative_to(include_dir).as_posix()] = name
    return owners


def check(root):
    src = root / "src"
    owners = public_headers(src)
    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        layer = layer_of(path, src)
        if layer is None:
            problems.append(f"{path.relative_to(root)}: not in any layer")
            continue
        allowed = {layer, *LAYERS[layer][1]}
        for included in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            owner = owners.get(included)
            if owner is not None and owner not in allowed:
                problems.append(f"{path.relative_to(root)}: includes \"{included}\" of layer '{owner}', "
                                f"which layer '{layer}' may not use")
    return problems


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    problems = check(root.resolve())
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) point the wrong way")
        return 1
    print("every include points down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
