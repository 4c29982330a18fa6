#!/usr/bin/python3
# Makes the workbook of the formula benchmark: a table "Data" of 10,000 rows (id, region,
# category, amount, key) and a sheet "Calc" of 10,000 lookup and conditional formulas over it
# (SUMIFS, COUNTIFS, VLOOKUP, XLOOKUP, INDEX/MATCH, SUMPRODUCT in turn), written by openpyxl.
#   /usr/bin/python3 make_formulas_workbook.py OUTPUT.xlsx
import random
import sys

import openpyxl

ROWS = 10000
FORMULAS = 10000


def main():
    random.seed(11)
    wb = openpyxl.Workbook()
    data = wb.active
    data.title = "Data"
    for r in range(1, ROWS + 1):
        data.append([r, "R%d" % (r % 8), "C%d" % (r % 5), round(random.uniform(10, 1000), 2), "K%05d" % r])
    calc = wb.create_sheet("Calc")
    table = "Data!$%s$1:$%s$" + str(ROWS)
    ids, regions, categories, amounts = (table % (c, c) for c in "ABCD")
    whole = "Data!$A$1:$D$%d" % ROWS
    for i in range(FORMULAS):
        n = random.randint(1, ROWS)
        kind = i % 6
        if kind == 0:
            f = '=SUMIFS(%s,%s,"R%d",%s,"C%d")' % (amounts, regions, n % 8, categories, n % 5)
        elif kind == 1:
            f = '=COUNTIFS(%s,"R%d",%s,">%d")' % (regions, n % 8, amounts, n % 1000)
        elif kind == 2:
            f = "=VLOOKUP(%d,%s,4,FALSE)" % (n, whole)
        elif kind == 3:
            f = "=_xlfn.XLOOKUP(%d,%s,%s)" % (n, ids, amounts)
        elif kind == 4:
            f = "=INDEX(%s,MATCH(%d,%s,0))" % (amounts, n, ids)
        else:
            f = "=SUMPRODUCT(%s,%s)" % (amounts, ids)
        calc.cell(i + 1, 1).value = f
    wb.save(sys.argv[1])


if __name__ == "__main__":
    main()
