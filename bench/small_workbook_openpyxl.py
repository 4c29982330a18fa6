#!/usr/bin/python3
# The small-workbook job done with openpyxl, for comparison: open the workbook, write one input
# cell of its first sheet, save it over itself, again and again on a copy of the file.
#   small_workbook_openpyxl.py INPUT.xlsx WORK.xlsx ROUNDS
# Prints "ms=<milliseconds a round>": the mean of ROUNDS rounds after one round that warms up.
import shutil, sys, time

import openpyxl


def one_round(path, n):
    wb = openpyxl.load_workbook(path)
    wb.worksheets[0].cell(1 + n % 80, 2).value = 1000 + n
    wb.save(path)


def main(source, path, rounds):
    shutil.copyfile(source, path)
    one_round(path, 0)
    start = time.perf_counter()
    for n in range(1, rounds + 1):
        one_round(path, n)
    print("ms=%.2f" % ((time.perf_counter() - start) * 1000 / rounds))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], max(1, int(sys.argv[3])))
