#!/usr/bin/env python3
"""Checks that every source file and every CMake target uses only the layers below it.

Each layer is a folder of src/ holding a library (or two). Every include of every
source file under src/, tests/, tools/, fuzz/ and bench/ is resolved, whatever its
form (quotes, angle brackets, a path relative to the file; .h, .hpp, .inl, ...): it
must name a public header of the file's own layer or of one the folder may use, and
never a private file of another layer. Each target_link_libraries() of the project's
CMake files must link only the libraries of layers its target may use. Exits 1 and
names each include and link that points the wrong way.

    scripts/check-layers.py [ROOT]
"""

import pathlib
import re
import sys

# Layer -> (its folder, the layers it may use besides itself).
# The order is the order of building: every layer only uses layers above it here.
LAYERS = {
    "core": ("src/core", []),
    "crypto": ("src/crypto", ["core"]),
    "store": ("src/store", ["core", "crypto"]),
    "reader": ("src/reader", ["core", "store"]),
    "data": ("src/data", ["core", "store"]),
    "export": ("src/export", ["core", "store", "data"]),
    "app": ("src/app", ["core", "store", "data"]),
    "cli": ("src/cli", ["core", "store", "data", "export"]),
    "shell": ("src/shell", ["core", "store", "data", "export", "app"]),
    "main": ("src/main", ["core", "store", "data", "export", "app", "cli", "shell"]),
    # Beside the program: the database writer, and what the tests share.
    "tools": ("tools", ["core", "crypto"]),
    "testsupport": ("tests/support", ["core", "crypto", "store", "data", "export", "app", "shell", "tools"]),
}
# Layers another layer uses only inside itself: no public header of the user includes them, and the
# user's library links them PRIVATE, so that the layers above do not see them.
PRIVATE_USES = {"store": {"crypto"}}
PROGRAM = ["core", "crypto", "store", "reader", "data", "export", "app", "cli", "shell"]

# Folders outside the layers -> the layers their files may use. The tests of a layer
# (tests/<folder of the layer under src>) may use what the layer may, the writer and the support, and
# the crypto library the writer uses (to scramble or damage what it wrote).
FOLDERS = {
    "tests/reliability": PROGRAM + ["tools", "testsupport"],
    "tests/tools": ["core", "crypto", "tools", "testsupport"],
    "tests": PROGRAM + ["main", "tools", "testsupport"],
    "fuzz": ["core", "crypto", "store", "reader", "tools"],
    "bench": PROGRAM + ["tools"],
}
for _layer, (_folder, _uses) in list(LAYERS.items()):
    if _folder.startswith("src/"):
        FOLDERS["tests/" + _folder[len("src/"):]] = [_layer, *_uses, "crypto", "tools", "testsupport"]
# The command line's output is held against the window's.
FOLDERS["tests/cli"] += ["app", "shell"]

# Where the include texts of layers without an include folder start.
INCLUDE_ROOTS = {"tools": "tools", "testsupport": "tests"}

# The project's CMake targets -> their layer; the targets of the tests, fuzzers and benchmarks
# take the rule of their folder.
TARGETS = {
    "varnex_core": "core", "varnex_crypto": "crypto", "varnex_store": "store",
    "varnex_readercore": "reader", "varnex-reader": "reader", "varnex_data": "data",
    "varnex_export": "export", "varnex_app": "app", "varnex_cli": "cli", "varnex_shell": "shell",
    "varnex": "main", "jetwriter": "tools", "varnex-mkdb": "tools", "varnex_testsupport": "testsupport",
}
# Libraries from elsewhere that only some layers may link: the window's.
WIDGETS = {"Qt6::Widgets", "Qt6::Gui", "Qt6::Network"}
WIDGET_LAYERS = {"shell", "main", "testsupport"}

SOURCE_SUFFIXES = {".h", ".hpp", ".hh", ".inl", ".ipp", ".c", ".cc", ".cpp", ".cxx"}
SOURCE_FOLDERS = ["src", "tests", "tools", "fuzz", "bench"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
LINK = re.compile(r"target_link_libraries\s*\(([^)]*)\)", re.MULTILINE)
KEYWORDS = {"PUBLIC", "PRIVATE", "INTERFACE", "LINK_PUBLIC", "LINK_PRIVATE", "LINK_INTERFACE_LIBRARIES"}


def longest_match(relative, folders):
    """The key of the longest folder that holds the path, or None."""
    best = None
    for key, folder in folders.items():
        if (relative == folder or relative.startswith(folder + "/")) and (best is None or len(folder) > len(folders[best])):
            best = key
    return best


def layer_of(relative):
    return longest_match(relative, {name: folder for name, (folder, _) in LAYERS.items()})


def allowed_for(relative):
    """The layers a file or CMake file at this path may use, or None where no rule holds."""
    layer = layer_of(relative)
    if layer is not None:
        return layer, {layer, *LAYERS[layer][1]}
    folder = longest_match(relative, {key: key for key in FOLDERS})
    if folder is None:
        return None, None
    return folder, set(FOLDERS[folder])


def public_headers(root):
    """Maps each include text ("data/Recordset.h") to the layer whose include folder has it."""
    owners = {}
    for name, (folder, _) in LAYERS.items():
        roots = [root / INCLUDE_ROOTS[name]] if name in INCLUDE_ROOTS else list((root / folder).glob("**/include"))
        for include_dir in roots:
            for header in include_dir.rglob("*"):
                relative = header.relative_to(root).as_posix()
                if header.suffix in SOURCE_SUFFIXES and layer_of(relative) == name:
                    owners.setdefault(header.relative_to(include_dir).as_posix(), name)
    return owners


def is_public(relative):
    return "/include/" in relative or layer_of(relative) in INCLUDE_ROOTS


def include_problem(root, path, text, owners):
    """What is wrong with one include of the file, or None."""
    relative = path.relative_to(root).as_posix()
    who, allowed = allowed_for(relative)
    candidate = (path.parent / text).resolve()
    if candidate.is_file() and candidate.is_relative_to(root):
        target = candidate.relative_to(root).as_posix()
        owner = layer_of(target)
        if owner is None or owner == layer_of(relative):
            return None
        if not is_public(target):
            return f"{relative}: includes \"{text}\", a private file of layer '{owner}'"
    else:
        owner = owners.get(text)
        if owner is None:
            return None
    if owner not in allowed:
        return f"{relative}: includes \"{text}\" of layer '{owner}', which {describe(who)} may not use"
    if is_public(relative) and owner in PRIVATE_USES.get(who, set()):
        return f"{relative}: a public header includes \"{text}\" of layer '{owner}', which layer '{who}' uses privately"
    return None


def describe(who):
    return f"layer '{who}'" if who in LAYERS else f"folder '{who}'"


def check_includes(root):
    owners = public_headers(root)
    problems = []
    for folder in SOURCE_FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            relative = path.relative_to(root).as_posix()
            if allowed_for(relative)[1] is None:
                problems.append(f"{relative}: not in any layer or folder the check knows")
                continue
            for _, text in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                problem = include_problem(root, path, text, owners)
                if problem:
                    problems.append(problem)
    return problems


def check_links(root):
    problems = []
    for folder in SOURCE_FOLDERS:
        for cmake in sorted((root / folder).rglob("CMakeLists.txt")):
            relative = cmake.relative_to(root).as_posix()
            text = re.sub(r"#[^\n]*", "", cmake.read_text(encoding="utf-8", errors="replace"))
            for arguments in LINK.findall(text):
                words = arguments.split()
                if not words:
                    continue
                target, linked = words[0], [w for w in words[1:] if w not in KEYWORDS]
                problems += private_link_problems(relative, target, words[1:])
                who = TARGETS.get(target)
                allowed = {who, *LAYERS[who][1]} if who else allowed_for(relative)[1]
                who = who or allowed_for(relative)[0]
                if allowed is None:
                    continue
                for library in linked:
                    owner = TARGETS.get(library)
                    if owner is not None and owner not in allowed:
                        problems.append(f"{relative}: {target} links {library} of layer '{owner}', "
                                        f"which {describe(who)} may not use")
                    if library in WIDGETS and who not in WIDGET_LAYERS and who in LAYERS:
                        problems.append(f"{relative}: {target} links {library}, which only the window's layers may use")
    return problems


def private_link_problems(relative, target, words):
    """Links of a layer's privately used layers that are not PRIVATE."""
    who = TARGETS.get(target)
    problems = []
    scope = "PUBLIC"  # a link without a keyword reaches the target's users too
    for word in words:
        if word in KEYWORDS:
            scope = word
        elif TARGETS.get(word) in PRIVATE_USES.get(who, set()) and scope not in ("PRIVATE", "LINK_PRIVATE"):
            problems.append(f"{relative}: {target} links {word} {scope}, but layer '{who}' uses layer "
                            f"'{TARGETS[word]}' privately")
    return problems


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent).resolve()
    problems = check_includes(root) + check_links(root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) or link(s) point the wrong way")
        return 1
    print("every include and link points down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
