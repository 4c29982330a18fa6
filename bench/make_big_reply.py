#!/usr/bin/python3
# Writes the returned user file of the collection benchmark with openpyxl: a small workbook
# carrying a picture part of 22 MB of random bytes (stored, not compressed), so that its mail,
# base64-encoded, is about 30 MB.
#   make_big_reply.py OUTPUT.xlsx
import os, sys, zipfile

import openpyxl


def main(out):
    wb = openpyxl.Workbook()
    wb.active["A1"] = "returned"
    wb.save(out)
    with zipfile.ZipFile(out, "a", compression=zipfile.ZIP_STORED) as z:
        z.writestr("xl/media/noise.bin", os.urandom(22 * 1024 * 1024))


main(sys.argv[1])
