#!/usr/bin/python3
# Writes the master workbooks of the update-run benchmark with openpyxl: M0.xlsx to M9.xlsx, each
# of 10 worksheets M<m>S<s> of 1,000 cells: 100 rows of 8 input numbers (columns A to H, the
# cells users change) and two formulas that depend on them (I = the row's sum, J = I * 1.1).
# MASTERS makes another number of them (the cycle for 1,000 users takes 100).
#   make_update_masters.py OUTPUT_DIR [MASTERS]
import os, sys

import openpyxl

MASTERS, SHEETS, ROWS = 10, 10, 100


def main(out, MASTERS=MASTERS):
    os.makedirs(out, exist_ok=True)
    for m in range(MASTERS):
        wb = openpyxl.Workbook()
        wb.remove(wb.active)
        for s in range(SHEETS):
            ws = wb.create_sheet("M%dS%d" % (m, s))
            for r in range(1, ROWS + 1):
                ws.append([r * 10 + c for c in range(1, 9)] + ["=SUM(A%d:H%d)" % (r, r), "=I%d*1.1" % r])
        wb.save(os.path.join(out, "M%d.xlsx" % m))


if __name__ == "__main__":
    main(sys.argv[1], *(int(n) for n in sys.argv[2:3]))
