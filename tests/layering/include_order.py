#!/usr/bin/env python3
"""Fails when a source folder includes a folder above it.

The order, lowest first: store < link < config, collect, cards, tables, tools < main < cli, app.
A folder's ui/ part sits with its folder. The data module (store/DataMod*), which wires the store
and the link together, is the one file allowed to see the link from the store; so neither the rest of
the store nor the link may include it.
"""
import pathlib
import re
import sys

LEVEL = {"store": 0, "link": 1, "config": 2, "collect": 2, "cards": 2, "tables": 2, "tools": 2,
         "main": 3, "cli": 4, "app": 4}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/([^"]*)"')


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
        folder = path.relative_to(src).parts[0]
        if folder not in LEVEL:
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if m and m.group(1) in LEVEL and not allowed(path, folder, m.group(1), m.group(2)):
                faults.append(f"{path.relative_to(src)}:{number}: {folder} may not include {m.group(1)}: "
                              f"{line.strip()}")
    for f in faults:
        print(f)
    print(f"{len(faults)} include(s) against the folder order")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
