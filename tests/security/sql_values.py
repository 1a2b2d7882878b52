#!/usr/bin/env python3
"""Fails when a statement in the core builds SQL by pasting a value into its text.

Values from controls, files, terminals and the network are bound parameters ("?"), never text in
the statement. Names of tables and columns and ready-made condition fragments may still be joined
into a statement; what this check looks for is the shape of a pasted value:

  - a quote opened or closed at the join:        "... = '" + card + "'"
  - a comparison right before the join:          "... WHERE fsAddr = " + address
  - a number or a field's text turned into SQL:  "... LIMIT " + std::to_string(n)

Usage: sql_values.py SRC_DIR     scans every .cpp and .h below SRC_DIR except ui/ folders
       sql_values.py --self-test checks the rules on known good and bad statements
"""
import os
import re
import sys

SQL_WORD = re.compile(r'"[^"\n]*\b(SELECT|INSERT|UPDATE|DELETE|WHERE|VALUES|FROM|SET|ORDER BY|LIMIT|HAVING)\b')
RULES = [
    ("a quote at the join", re.compile(r"'\s*\"\s*\+|\+\s*\"\s*'")),
    ("a comparison before the join",
     re.compile(r"(=|<|>|\bLIKE|\bBETWEEN|\bIN\s*\(|\bLIMIT|\bOFFSET)\s*\"\s*\+", re.IGNORECASE)),
    ("a value turned into text",
     re.compile(r"\+\s*(std::to_string|std::format|AsString|AsInteger|Text)\s*\(|"
                r"(std::to_string|AsString|AsInteger)\s*\([^;]*\)\s*\+\s*\"")),
]


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def statements(text):
    """Statements with their first line number: text up to each ';' or '{' or '}'."""
    line = 1
    start_line = 1
    current = []
    in_string = False
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and in_string:
            current.append(text[i:i + 2])
            i += 2
            continue
        if c == '"':
            in_string = not in_string
        if c == "\n":
            line += 1
            if in_string:  # a raw newline inside a literal cannot be; resynchronise
                in_string = False
        current.append(c)
        if not in_string and c in ";{}":
            yield start_line, "".join(current)
            current = []
            start_line = line
        i += 1
    if current:
        yield start_line, "".join(current)


def findings(text):
    out = []
    for line, stmt in statements(strip_comments(text)):
        if not SQL_WORD.search(stmt) or "+" not in stmt:
            continue
        flat = " ".join(stmt.split())
        for name, rule in RULES:
            if rule.search(flat):
                out.append((line, name, flat.strip()[:160]))
                break
    return out


def scan(src):
    found = []
    for root, dirs, files in os.walk(src):
        dirs[:] = sorted(d for d in dirs if d != "ui")
        for f in sorted(files):
            if f.endswith((".cpp", ".h")):
                path = os.path.join(root, f)
                with open(path, encoding="utf-8", errors="replace") as fh:
                    for line, name, stmt in findings(fh.read()):
                        found.append(f"{os.path.relpath(path, src)}:{line}: {name}: {stmt}")
    return found


BAD = [
    'q.SetSQL("SELECT * FROM tEmployees WHERE fsCardNo = \'" + card + "\'");',
    'db.Execute("DELETE FROM tActivities WHERE fsTermNo = " + termNo);',
    'q.SetSQL("SELECT * FROM tActivities LIMIT " + std::to_string(n));',
    'q.SetSQL(std::string("UPDATE tTerminals SET fsLocation = \'") +\n location + "\' WHERE fsAddr = ?", {a});',
    'std::string sql = "SELECT * FROM t WHERE a IN (" + list + ")";',
    'q.SetSQL("SELECT * FROM t WHERE fsName LIKE " + pattern);',
]
GOOD = [
    'q.SetSQL("SELECT fsTermNo FROM tTerminals WHERE fsAddr = ?", {TextValue(address)});',
    'q.SetSQL("SELECT * FROM " + table + " ORDER BY " + keyField);',
    'db.Execute("UPDATE tTerminals SET " + field + " = ? WHERE fsAddr = ?", {v, a});',
    'int n = a + b; // SELECT in a comment = " + x',
    'status = "Deleted " + std::to_string(n) + " rows";',
    'db_.Execute("DELETE FROM tActivities WHERE " + c.where.sql, c.where.params);',
]


def self_test():
    ok = True
    for s in BAD:
        if not findings(s):
            print(f"missed: {s}")
            ok = False
    for s in GOOD:
        if findings(s):
            print(f"flagged: {s}: {findings(s)}")
            ok = False
    print("self-test", "passed" if ok else "FAILED")
    return 0 if ok else 1


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    found = scan(sys.argv[1])
    for f in found:
        print(f)
    print(f"{len(found)} statement(s) with a value pasted into SQL")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
