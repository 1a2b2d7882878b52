#!/usr/bin/env python3
"""Fails when a source folder includes a folder above it.

The order, lowest first: store < link < config, collect, cards, tables, tools < main < windows < cli, app.
The windows are the ui/ parts of every folder: they stand together above all of the core, so a
subsystem's windows may use the frame's window framework (main/ui) and the frame calls each
subsystem's registration, while no core file ever includes a window. The data module
(store/DataMod*), which wires the store and the link together, is the one file allowed to see the
link from the store; so neither the rest of the store nor the link may include it.
"""
import pathlib
import re
import sys

LEVEL = {"store": 0, "link": 1, "config": 2, "collect": 2, "cards": 2, "tables": 2, "tools": 2,
         "main": 3, "ui": 4, "cli": 5, "app": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/([^"]*)"')


def level_name(folder: str, rest: str) -> str:
    return "ui" if rest.startswith("ui/") else folder


def allowed(path: pathlib.Path, folder: str, target: str, header: str) -> bool:
    # The program's start creates the data module, so it stands with it.
    data_module = path.name.startswith(("DataMod", "Program."))
    if target == "store" and header.startswith("DataMod"):
        return data_module or LEVEL[folder] > LEVEL["link"]
    if LEVEL[target] <= LEVEL[folder]:
        return True
    return folder == "store" and target == "link" and data_module


def main() -> int:
    src = pathlib.Path(sys.argv[1])
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".cpp", ".in"}:
            continue
        parts = path.relative_to(src).parts
        if parts[0] not in LEVEL:
            continue
        folder = level_name(parts[0], "/".join(parts[1:]))
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m or m.group(1) not in LEVEL:
                continue
            target = level_name(m.group(1), m.group(2))
            if not allowed(path, folder, target, m.group(2)):
                faults.append(f"{path.relative_to(src)}:{number}: {folder} may not include {target}: "
                              f"{line.strip()}")
    for f in faults:
        print(f)
    print(f"{len(faults)} include(s) against the folder order")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
