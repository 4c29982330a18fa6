#!/usr/bin/python3
# The update run's compare-and-write done with openpyxl, for the benchmark's comparison: for each
# master workbook M<m>.xlsx of the folder, every user file U<m>/<sheet>.xlsx is read, its cells
# compared with the master sheet's (formulas as text, without regard to case), the changed
# constants written into the master, and the master saved once.
#   update_openpyxl.py FOLDER     prints "seconds=<s> changes=<n>"
import os, sys, time

import openpyxl


def main(folder):
    start = time.perf_counter()
    changes = 0
    masters = sorted(name for name in os.listdir(folder) if name.startswith("M") and name.endswith(".xlsx"))
    for master_name in masters:
        stem = master_name[:-5]
        master = openpyxl.load_workbook(os.path.join(folder, master_name))
        for ws in master.worksheets:
            user = openpyxl.load_workbook(os.path.join(folder, "U" + stem[1:], ws.title + ".xlsx")).active
            for row in ws.iter_rows():
                for cell in row:
                    theirs = user.cell(cell.row, cell.column).value
                    ours = cell.value
                    if str(ours).lower() == str(theirs).lower():
                        continue
                    if isinstance(ours, str) and ours.startswith("="):
                        continue
                    cell.value = theirs
                    changes += 1
        master.save(os.path.join(folder, master_name))
    print("seconds=%.3f changes=%d" % (time.perf_counter() - start, changes))


if __name__ == "__main__":
    main(sys.argv[1])
