#!/usr/bin/python3
# Makes the add-in's three sample templates, the model workbooks from which an administrator makes
# budget worksheets in the spreadsheet program (they belong to no budget):
#   empltemp.xlsx  Employee: one employee's monthly pay, months and annual pay, and a Rates sheet
#   depttemp.xlsx  Department: a department's cost lines by quarter with year totals
#   hrtemp.xlsx    HR: head count and hires per team with the year-end head count
# The cells to fill in are shaded. openpyxl writes each workbook with its formulas; LibreOffice
# (headless, over UNO, a profile of its own, stopped as a process group) calculates and saves it
# again, so the files carry their results as a spreadsheet program saves them.
# Run with Debian's own python3 (python3-openpyxl, python3-uno, libreoffice-calc-nogui):
#   /usr/bin/python3 scripts/make_sample_templates.py [OUTPUT_DIR]   (default lumicell/Templates)
import os, shutil, sys, tempfile

import openpyxl
from openpyxl.styles import Font, PatternFill

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "fixtures"))
import office as lo  # noqa: E402  (LibreOffice started and stopped in a process group of its own)

INPUT = PatternFill("solid", start_color="FFFFF2CC")
HEADING = Font(bold=True)
MONEY = "#,##0"


def heading(ws, titles, widths):
    ws.append(titles)
    for cell in ws[1]:
        cell.font = HEADING
    for column, width in zip("ABCDEFG", widths):
        ws.column_dimensions[column].width = width


def style(ws, cells, fill=None, number_format=None):
    for row in ws[cells]:
        for cell in row:
            if fill:
                cell.fill = fill
            if number_format:
                cell.number_format = number_format


def total_row(ws, row, columns):
    ws.cell(row, 1, "Total").font = HEADING
    for column in columns:
        ws["%s%d" % (column, row)] = "=SUM(%s2:%s%d)" % (column, column, row - 1)


def make_employee(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Employee"
    heading(ws, ["Item", "Monthly", "Months", "Annual"], [20, 12, 9, 12])
    for row, item in enumerate(["Base pay", "Allowances", "Overtime"], start=2):
        ws.append([item, 0, 12, "=B%d*C%d" % (row, row)])
    total_row(ws, 5, "BD")
    ws["A6"] = "Next year"
    ws["D6"] = "=D5*(1+Rates!B2)"
    style(ws, "B2:C4", fill=INPUT)
    style(ws, "B2:D6", number_format=MONEY)
    rates = wb.create_sheet("Rates")
    heading(rates, ["Rate", "Value"], [20, 9])
    rates.append(["Pay raise", 0.03])
    rates["B2"].number_format = "0.0%"
    wb.save(path)


def make_department(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Department"
    heading(ws, ["Line", "Q1", "Q2", "Q3", "Q4", "Year"], [20, 10, 10, 10, 10, 12])
    for row, line in enumerate(["Staff", "Training", "Travel", "Equipment"], start=2):
        ws.append([line, 0, 0, 0, 0, "=SUM(B%d:E%d)" % (row, row)])
    total_row(ws, 6, "BCDEF")
    style(ws, "B2:E5", fill=INPUT)
    style(ws, "B2:F6", number_format=MONEY)
    wb.save(path)


def make_hr(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "HR"
    heading(ws, ["Team", "Head count", "Hires", "Leavers", "Year end"], [20, 11, 9, 9, 10])
    for row, team in enumerate(["Sales", "Support", "Systems"], start=2):
        ws.append([team, 0, 0, 0, "=B%d+C%d-D%d" % (row, row, row)])
    total_row(ws, 5, "BCDE")
    style(ws, "B2:D4", fill=INPUT)
    wb.save(path)


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "lumicell", "Templates"))
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp(prefix="templates-")
    try:
        made = []
        for name, make in (("empltemp.xlsx", make_employee), ("depttemp.xlsx", make_department),
                           ("hrtemp.xlsx", make_hr)):
            path = os.path.join(work, name)
            make(path)
            made.append(path)
        lo.store_calculated(made, out)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
