"""Writes a model file the way another program would: a BIFF8 workbook made with xlwt.

usage: write_model_xlwt.py OUT.TV5 [legacy]

The layout is the model file's: switches in row 0, columns 0..22; accuracy and iteration
limit in columns 99 and 100; expectation settings from column 102; parameters of period t
in row 9 + t, columns 0..63. Some parameters are stored as RK numbers (integers), others
as NUMBER records (fractions). "legacy" leaves out the wage and profit income settings.
"""
import sys

import xlwt

out = sys.argv[1]
legacy = len(sys.argv) > 2 and sys.argv[2] == "legacy"
book = xlwt.Workbook()
sheet = book.add_sheet("TERVALIS")
switches = [0] * 23
switches[0] = False  # boolean cells count as 0 and 1
switches[7] = 1   # switch 8: capital stock exogenous
switches[8] = True  # switch 9: imports on expected income
switches[12] = 10  # switch 13: price adjustment
switches[16] = 1   # switch 17: bond market
switches[21] = 1
switches[22] = 2   # wage contract period
for col, value in enumerate(switches):
    sheet.write(0, col, value)
sheet.write(0, 99, 0.0001)
sheet.write(0, 100, 700)
sheet.write(0, 101, 1)
settings = {102: (1, 1, 100), 105: (3, 2, 50), 108: (2, 3, 100), 111: (1, 1, 100),
            114: (1, 1, 100), 117: (2, 1, 100)}
if not legacy:
    settings[120] = (2, 2, 100)
    settings[123] = (3, 1, 40)
    sheet.write(1, 120, 1)
    sheet.write(1, 123, 1)
for col, (method, lags, weight) in settings.items():
    sheet.write(0, col, method)
    sheet.write(0, col + 1, lags)
    sheet.write(0, col + 2, weight)
defaults = {16: 1, 17: 1, 18: 1, 19: 0.5, 20: 0.5, 21: 1000, 22: 1000, 26: 1, 30: 1, 31: 1,
            32: 0.5, 38: 50, 48: 0.5, 52: 600, 53: 1000, 57: 1, 59: 1, 60: 1}
model = {1: 100, 2: 0.75, 5: 4, 6: 150, 7: 0.05, 11: 10, 12: 200, 40: 0.2, 49: 100, 50: 20}
for t in range(-1, 41):
    row = 9 + t
    for n in range(1, 65):
        value = model.get(n, defaults.get(n, 0))
        if n in (55, 56):
            value = 1000 if t <= 0 else 0
        if n == 12 and t >= 20:
            value = 220
        sheet.write(row, n - 1, value)
sheet.write(3, 5, 12345)         # rows 1..7 other than the header: ignored
sheet.write(20, 64, 99)          # right of the parameters: ignored
sheet.write(60, 30, "text cell")  # text, even in the defining column: ignored
book.add_sheet("Notes").write(29, 11, 999)  # other sheets: ignored
book.save(out)
