"""Builds the committed sample workbook samples/mixed_biff8.xls with xlwt.

BIFF8 (stream "Workbook"), two sheets, shared strings, a date-formatted cell, and a run of
whole numbers in row 0 that xlwt stores as one MULRK record (checked below).
Run with /usr/bin/python3 from this folder; the tests check the cells written here.
"""
import datetime
import struct

import xlwt


def record_types(data):
    pos = 0
    while pos + 4 <= len(data):
        rtype, length = struct.unpack_from("<HH", data, pos)
        yield rtype
        pos += 4 + length


def build_mixed():
    book = xlwt.Workbook(encoding="utf-8")
    first = book.add_sheet("Zahlen")
    for col, value in enumerate([10, 20, 30, 40]):
        first.write(0, col, value)
    first.write(1, 0, 1.5)
    first.write(1, 1, "Hallo")
    first.write(1, 2, "Grüße")
    first.write(2, 0, datetime.date(2001, 1, 1), xlwt.easyxf(num_format_str="YYYY-MM-DD"))
    second = book.add_sheet("Zweite")
    second.write(0, 0, 99)
    second.write(5, 3, "Hallo")
    types = list(record_types(book.get_biff_data()))
    assert 0x00BD in types and 0x00FC in types and 0x00FD in types
    book.save("samples/mixed_biff8.xls")


if __name__ == "__main__":
    build_mixed()
