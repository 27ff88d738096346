"""Writes a BIFF8 workbook with xlwt and lists its cells for the reader test.

Usage: xlwt_write.py OUT.xls EXPECTED.tsv
Lines of EXPECTED.tsv: "INDEX<TAB>ROW<TAB>COL<TAB>n|d|s<TAB>VALUE" (numbers in float.hex).
xlwt stores whole numbers that fit as RK records and others as NUMBER records.
"""
import datetime
import sys

import xlwt


def main():
    out_path, expected_path = sys.argv[1], sys.argv[2]
    book = xlwt.Workbook(encoding="utf-8")
    date_style = xlwt.easyxf(num_format_str="DD.MM.YYYY")
    expected = []

    first = book.add_sheet("Daten")
    numbers = [0, 1, -1, 42, 536870911, -536870912, 536870912, 0.5, 12.34, -7.125,
               1e-300, 1.7976931348623157e308, 3.141592653589793, 2 ** 40]
    for row in range(200):
        for col, base in enumerate(numbers):
            value = base if isinstance(base, float) and row == 0 else base * (row + 1) if col < 7 else base + row
            first.write(row, col, value)
            expected.append((0, row, col, "n", float(value)))
    first.write(3, 20, datetime.date(2024, 2, 29), date_style)
    expected.append((0, 3, 20, "d", 45351.0))

    second = book.add_sheet("Texte")
    # Enough distinct strings that the shared-string table continues over several records.
    for row in range(1500):
        text = "Zeile %d – Größe ÄÖÜ €" % row if row % 3 else "line %d plain" % row
        second.write(row, 0, text)
        expected.append((1, row, 0, "s", text))
    second.write(0, 1, "x" * 9000)
    expected.append((1, 0, 1, "s", "x" * 9000))

    book.save(out_path)
    with open(expected_path, "w", encoding="utf-8") as f:
        for sheet, row, col, kind, value in expected:
            shown = value.hex() if kind in "nd" else value
            f.write("%d\t%d\t%d\t%s\t%s\n" % (sheet, row, col, kind, shown))


if __name__ == "__main__":
    main()
