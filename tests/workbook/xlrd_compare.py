"""Opens a workbook with xlrd and compares every cell with a list of expected cells.

Usage: xlrd_compare.py WORKBOOK EXPECTED.tsv
Expected lines: "sheet<TAB>INDEX<TAB>NAME" or "INDEX<TAB>ROW<TAB>COL<TAB>n|s<TAB>VALUE";
numbers are in C's %a notation. Exit status 0 when everything matches.
"""
import sys

import xlrd


def main():
    book_path, expected_path = sys.argv[1], sys.argv[2]
    names = {}
    cells = {}
    with open(expected_path, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if parts[0] == "sheet":
                names[int(parts[1])] = parts[2]
                continue
            sheet, row, col, kind, value = parts
            value = float.fromhex(value) if kind == "n" else value
            cells[(int(sheet), int(row), int(col))] = (kind, value)

    book = xlrd.open_workbook(book_path, formatting_info=True)
    errors = []
    if book.sheet_names() != [names[k] for k in sorted(names)]:
        errors.append("sheet names %r" % book.sheet_names())
    seen = set()
    for index in range(book.nsheets):
        sheet = book.sheet_by_index(index)
        for row in range(sheet.nrows):
            for col in range(sheet.ncols):
                cell = sheet.cell(row, col)
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                key = (index, row, col)
                seen.add(key)
                want = cells.get(key)
                if cell.ctype == xlrd.XL_CELL_NUMBER:
                    got = ("n", cell.value)
                elif cell.ctype == xlrd.XL_CELL_TEXT:
                    got = ("s", cell.value)
                else:
                    got = ("?", cell.value)
                if got != want:
                    errors.append("%r: got %r, expected %r" % (key, got, want))
    for key in sorted(set(cells) - seen):
        errors.append("%r missing" % (key,))
    for e in errors[:20]:
        print(e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
