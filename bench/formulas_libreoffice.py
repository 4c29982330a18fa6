#!/usr/bin/python3
# LibreOffice's side of the formula benchmark: loads the workbook, recalculates every formula
# and saves it, timed from the load to the end of the save (starting the office is not counted).
# Without OUTPUT it only loads the workbook, timed from the load call to its end (the sheet
# view's comparison).
#   /usr/bin/python3 formulas_libreoffice.py INPUT.xlsx [OUTPUT.xlsx]
# prints "seconds=<s>".
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures"))
import office  # noqa: E402  (LibreOffice started and stopped with its whole process group)


def main():
    source = os.path.abspath(sys.argv[1])
    target = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    work = tempfile.mkdtemp(prefix="lo-bench-")
    process = desktop = None
    try:
        import uno
        process, desktop = office.start(work)
        began = time.monotonic()
        doc = office.load(desktop, source)
        if target:
            doc.calculateAll()
            doc.storeToURL(uno.systemPathToFileUrl(target), (office.prop("FilterName", "Calc MS Excel 2007 XML"),))
        seconds = time.monotonic() - began
        doc.close(True)
        print("seconds=%.3f" % seconds)
    finally:
        if process is not None:
            office.stop(process, desktop)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
