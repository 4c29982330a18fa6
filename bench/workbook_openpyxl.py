#!/usr/bin/python3
# The benchmark's job done with openpyxl, for comparison: read every sheet's used block as a table
# of values (openpyxl gives calculated results only when loading with data_only, so it loads
# twice) and as a table of formulas, write 10,000 scattered cells, save.
#   workbook_openpyxl.py INPUT.xlsx OUTPUT.xlsx
# Prints "seconds=<s> peak_kb=<kb>".
import random, resource, sys, time

import openpyxl


def tables(wb):
    cells = 0
    for ws in wb.worksheets:
        table = [[c.value for c in row] for row in ws.iter_rows(min_row=1, max_row=ws.max_row,
                                                                 min_col=1, max_col=ws.max_column)]
        cells += sum(len(r) for r in table)
    return cells


def main(source, target):
    start = time.perf_counter()
    values = openpyxl.load_workbook(source, data_only=True)
    n = tables(values)
    del values
    wb = openpyxl.load_workbook(source)
    n += tables(wb)
    rng = random.Random(7)
    sheets = wb.worksheets
    for k in range(10000):
        ws = sheets[rng.randrange(len(sheets))]
        row, col = rng.randint(1, 4167), rng.randint(1, 12)
        kind = k % 3
        ws.cell(row, col).value = rng.random() * 1000 if kind == 0 else ("Note %d" % k if kind == 1 else "=B%d*2" % row)
    wb.save(target)
    elapsed = time.perf_counter() - start
    print("seconds=%.3f peak_kb=%d cells=%d" % (elapsed, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss, n))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
