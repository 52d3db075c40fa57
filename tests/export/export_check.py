#!/usr/bin/python3
"""Compares the three exports of a SQLite database with the database itself,
value for value, through readers that are not the program under test:
Python's sqlite3 for the source, its csv module for the CSV files, its XML
parser for the XML files, mdb-reader (its lines from read_tables.mjs) and
mdbtools for the Access file.

  export_check.py SQLITE_FILE TABLES_FILE CSV_DIR XML_DIR MDB_FILE NODE_LINES LOG_FILE

TABLES_FILE names the exported tables, one a line; NODE_LINES is what
read_tables.mjs printed for MDB_FILE; LOG_FILE the run's red log lines.

Each column's kind is the Access column the export chose for it (text, memo,
long, integer, numeric, double, boolean, ...). The only differences
accepted are the exports' own rules:
  CSV     the field text: Null and empty text both empty, booleans True/False;
  XML     empty text and Null text "null", Null numbers "0", Null booleans
          False;
  Access  empty text stored as Null, Null booleans No; a primary key only
          where the source's key values are unique without case and hold no
          Null (the format's index compares text without case and refuses
          Null), and then over every key column in the key's order.
A table without rows is logged in red and gets no CSV or XML file. Numbers
compare as numbers (a double exactly). Prints what differs and
exits 1 when anything does.
"""

import csv
import sqlite3
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

TEXT_KINDS = {"text", "memo"}
WHOLE_KINDS = {"long", "integer", "byte"}
FLOAT_KINDS = {"double", "float", "currency"}

problems = []


def problem(table, what):
    if len(problems) < 200:
        problems.append(f"{table}: {what}")


def node_tables(path):
    """table -> (columns [(name, type)], rows [[text]])"""
    tables = {}
    current = None
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            parts = line.rstrip("\n").split("\t")
            if parts[0] == "table":
                current = (parts[1], [], [])
                tables[parts[1]] = current
            elif parts[0] == "column":
                current[1].append((parts[1], parts[2]))
            elif parts[0] == "row":
                current[2].append(parts[1:])
    return tables


def node_text(text):
    """A value as read_tables.mjs escaped it; None for Null."""
    if text == "\\N":
        return None
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"\\": "\\", "t": "\t", "n": "\n", "r": "\r"}[text[i + 1]])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def as_text(value):
    if isinstance(value, bytes):
        return value.decode("utf-8")
    return str(value)


def same_number(text, value):
    try:
        return float(text) == float(value)
    except ValueError:
        return False


def check_value(table, where, kind, text, value, empty_as, null_as):
    """text is what a reader got; value the source's (None for Null)."""
    if value is None or (kind in TEXT_KINDS and as_text(value) == ""):
        expected = null_as if value is None else empty_as
        if text != expected:
            problem(table, f"{where}: {text!r} for {value!r}, expected {expected!r}")
        return
    if kind in TEXT_KINDS:
        ok = text == as_text(value) or (isinstance(value, float) and same_number(text, value))
    elif kind in WHOLE_KINDS or kind == "numeric":
        ok = isinstance(value, int) and text == str(value)
    elif kind in FLOAT_KINDS:
        ok = same_number(text, value)
    elif kind == "boolean":
        ok = text.lower() == ("true" if value else "false")
    else:
        ok = text == as_text(value)
    if not ok:
        problem(table, f"{where}: {text!r} for {value!r} ({kind})")


def main():
    sqlite_file, tables_file, csv_dir, xml_dir, mdb_file, node_lines, log_file = sys.argv[1:8]
    source = sqlite3.connect("file:" + sqlite_file + "?mode=ro", uri=True)
    source.text_factory = bytes
    with open(tables_file, encoding="utf-8") as listing:
        tables = [line.strip() for line in listing if line.strip()]
    access = node_tables(node_lines)
    schema = subprocess.run(["mdb-schema", "--indexes", mdb_file, "mysql"], capture_output=True, text=True,
                            check=True).stdout
    with open(log_file, encoding="utf-8") as log:
        red_lines = [line.rstrip("\n") for line in log]
    expected_red = []
    values = 0

    for table in tables:
        cursor = source.execute(f'SELECT * FROM "{table}"')
        names = [d[0] for d in cursor.description]
        rows = cursor.fetchall()
        if table not in access:
            problem(table, "not in the Access file")
            continue
        columns, access_rows = access[table][1], access[table][2]
        if [c[0] for c in columns] != names:
            problem(table, f"Access columns {columns} for {names}")
            continue
        kinds = [c[1] for c in columns]

        # Access: mdb-reader's rows; mdbtools' count.
        if len(access_rows) != len(rows):
            problem(table, f"{len(access_rows)} Access rows for {len(rows)}")
        for r, (row, got) in enumerate(zip(rows, access_rows)):
            for k, value in enumerate(row):
                text = node_text(got[k])
                null_as = "false" if kinds[k] == "boolean" else None
                check_value(table, f"Access row {r + 1} {names[k]}", kinds[k], text, value, None, null_as)
        count = subprocess.run(["mdb-count", mdb_file, table], capture_output=True, text=True).stdout.strip()
        if count != str(len(rows)):
            problem(table, f"mdb-count says {count!r} for {len(rows)} rows")

        # The key: every key column in order, where the format can hold it.
        key = [name for pk, name in sorted((row[5], row[1].decode()) for row in
                                            source.execute(f"PRAGMA table_info(\"{table}\")") if row[5] > 0)]
        if key:
            positions = [names.index(name) for name in key]
            tuples = [tuple(as_text(row[p]).lower() if row[p] is not None else None for p in positions)
                      for row in rows]
            holds_null = any(None in t for t in tuples)
            holdable = not holds_null and len(set(tuples)) == len(tuples)
            statement = f"ALTER TABLE `{table}` ADD PRIMARY KEY (" + ", ".join(f"`{c}`" for c in key) + ");"
            if holdable and statement not in schema:
                problem(table, f"no key {statement}")
            if holds_null:
                # The reader leaves such a key out and says so.
                expected_red.append(f" Table {table} - primary key: holds NULL values, which no other engine's "
                                    "key can hold; written without a primary key")
            elif not holdable:
                expected_red.append(f" Primary key : {', '.join(key)} could not be set on table : {table}")

        if not rows:
            # A table without rows gets its red line and no CSV or XML file.
            expected_red.append(f" Cannot get data on table : {table}.")
            continue

        # CSV through Python's csv reader.
        with open(f"{csv_dir}/{table}.csv", newline="", encoding="utf-8") as f:
            csv_rows = [row if row else [""] for row in csv.reader(f, delimiter=";", strict=True)]
        if len(csv_rows) != len(rows):
            problem(table, f"{len(csv_rows)} CSV rows for {len(rows)}")
        for r, (row, got) in enumerate(zip(rows, csv_rows)):
            if len(got) != len(row):
                problem(table, f"CSV row {r + 1} has {len(got)} values for {len(row)}")
                continue
            for k, value in enumerate(row):
                check_value(table, f"CSV row {r + 1} {names[k]}", kinds[k], got[k], value, "", "")

        # XML through Python's own parser.
        root = ElementTree.parse(f"{xml_dir}/{table}.xml").getroot()
        records = root.findall("Records")
        if root.tag != table or len(records) != len(rows):
            problem(table, f"XML root {root.tag} with {len(records)} records for {len(rows)}")
        for r, (row, record) in enumerate(zip(rows, records)):
            got = [(element.tag, element.text or "") for element in record]
            if [g[0] for g in got] != names:
                problem(table, f"XML record {r + 1} names {[g[0] for g in got]}")
                continue
            for k, value in enumerate(row):
                kind = kinds[k]
                null_as = "0" if kind in WHOLE_KINDS | FLOAT_KINDS else "False" if kind == "boolean" else "null"
                check_value(table, f"XML record {r + 1} {names[k]}", kind, got[k][1], value, "null", null_as)
        values += len(rows) * len(names)

    unexplained = [line for line in red_lines if not any(line.endswith(e) for e in expected_red)]
    for line in unexplained:
        problems.append(f"red log line: {line}")
    print(f"{len(tables)} tables, {values} values in each of three formats; "
          f"{len(expected_red)} keys the Access format cannot hold")
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
