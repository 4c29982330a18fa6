#!/usr/bin/python3
# LibreOffice's side of the sheet view benchmark: loads the workbook headless, timed from the
# load call to its end (starting the office is not counted).
#   /usr/bin/python3 sheetview_libreoffice.py INPUT.xlsx
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
    work = tempfile.mkdtemp(prefix="lo-bench-")
    process = desktop = None
    try:
        process, desktop = office.start(work)
        began = time.monotonic()
        doc = office.load(desktop, source)
        seconds = time.monotonic() - began
        doc.close(True)
        print("seconds=%.3f" % seconds)
    finally:
        if process is not None:
            office.stop(process, desktop)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
