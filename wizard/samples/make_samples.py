#!/usr/bin/python3
# Makes the two master workbooks of the sample budget "SampleBudget" (sampledb.sql holds its rows):
#   Employee.xlsx  Salaries (monthly pay times months, next year's pay at the raise of Rates),
#                  Benefits (pension at the rate of Rates on each salary, health cover), Rates
#                  and Summary (the staff cost, across the sheets)
#   Departme.xlsx  Support and Systems (quarterly costs per line, year totals) and Totals
#                  (both departments, across the sheets)
# The worksheets that people fill in (Salaries, Benefits, Support, Systems) have their input
# cells shaded. openpyxl writes each workbook with its formulas; LibreOffice (headless, over UNO,
# a profile of its own, stopped as a process group) opens it, calculates every formula and saves
# it again, so the files carry their results as a spreadsheet program saves them.
# Run with Debian's own python3 (python3-openpyxl, python3-uno, libreoffice-calc-nogui):
#   /usr/bin/python3 make_samples.py [OUTPUT_DIR]
import os, shutil, sys, tempfile

import openpyxl
from openpyxl.styles import Font, PatternFill

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "fixtures"))
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


def shade(ws, cells):
    for row in ws[cells]:
        for cell in row:
            cell.fill = INPUT


def money(ws, cells):
    for row in ws[cells]:
        for cell in row:
            cell.number_format = MONEY


def make_employee(path):
    wb = openpyxl.Workbook()
    salaries = wb.active
    salaries.title = "Salaries"
    heading(salaries, ["Employee", "Monthly pay", "Months", "Annual pay", "Next year"], [18, 13, 9, 13, 13])
    staff = [("Ann Lee", 4200, 12), ("Raj Patel", 3900, 12), ("Mia Chen", 4500, 12), ("Tom Berg", 3600, 6)]
    for row, (name, monthly, months) in enumerate(staff, start=2):
        salaries.append([name, monthly, months, "=B%d*C%d" % (row, row), "=D%d*(1+Rates!$B$2)" % row])
    total = 2 + len(staff)
    salaries.append(["Total", "=SUM(B2:B%d)" % (total - 1), None, "=SUM(D2:D%d)" % (total - 1),
                     "=SUM(E2:E%d)" % (total - 1)])
    salaries["A%d" % total].font = HEADING
    shade(salaries, "B2:C%d" % (total - 1))
    money(salaries, "B2:E%d" % total)

    benefits = wb.create_sheet("Benefits")
    heading(benefits, ["Employee", "Annual pay", "Pension", "Health cover", "Total"], [18, 13, 11, 13, 13])
    for row in range(2, total):
        benefits.append(["=Salaries!A%d" % row, "=Salaries!D%d" % row, "=B%d*Rates!$B$3" % row, 1800,
                         "=C%d+D%d" % (row, row)])
    benefits.append(["Total", "=SUM(B2:B%d)" % (total - 1), "=SUM(C2:C%d)" % (total - 1),
                     "=SUM(D2:D%d)" % (total - 1), "=SUM(E2:E%d)" % (total - 1)])
    benefits["A%d" % total].font = HEADING
    shade(benefits, "D2:D%d" % (total - 1))
    money(benefits, "B2:E%d" % total)

    rates = wb.create_sheet("Rates")
    heading(rates, ["Rate", "Value"], [22, 9])
    rates.append(["Pay raise next year", 0.03])
    rates.append(["Pension contribution", 0.05])
    for cell in ("B2", "B3"):
        rates[cell].number_format = "0.0%"

    summary = wb.create_sheet("Summary")
    heading(summary, ["Staff cost", "Amount"], [22, 13])
    summary.append(["Pay", "=Salaries!D%d" % total])
    summary.append(["Benefits", "=Benefits!E%d" % total])
    summary.append(["Total staff cost", "=B2+B3"])
    summary["A4"].font = HEADING
    money(summary, "B2:B4")
    wb.save(path)


def department(wb, title, lines):
    ws = wb.create_sheet(title)
    heading(ws, ["Line", "Q1", "Q2", "Q3", "Q4", "Year"], [22, 10, 10, 10, 10, 12])
    for row, (line, quarters) in enumerate(lines, start=2):
        ws.append([line] + list(quarters) + ["=SUM(B%d:E%d)" % (row, row)])
    total = 2 + len(lines)
    ws.append(["Total"] + ["=SUM(%s2:%s%d)" % (c, c, total - 1) for c in "BCDEF"])
    ws["A%d" % total].font = HEADING
    shade(ws, "B2:E%d" % (total - 1))
    money(ws, "B2:F%d" % total)
    return total


def make_departments(path):
    wb = openpyxl.Workbook()
    wb.remove(wb.active)
    support_total = department(wb, "Support", [("Staff", (21000, 21000, 21500, 21500)),
                                               ("Training", (1200, 800, 1500, 500)),
                                               ("Travel", (900, 1100, 700, 1300)),
                                               ("Equipment", (2500, 0, 0, 1800))])
    systems_total = department(wb, "Systems", [("Software licences", (6000, 0, 0, 0)),
                                               ("Hardware", (4000, 1500, 1500, 3000)),
                                               ("Cloud services", (2200, 2200, 2400, 2400)),
                                               ("Contractors", (5000, 7500, 7500, 2500))])
    totals = wb.create_sheet("Totals")
    heading(totals, ["Department", "Year"], [18, 12])
    totals.append(["Support", "=Support!F%d" % support_total])
    totals.append(["Systems", "=Systems!F%d" % systems_total])
    totals.append(["All departments", "=SUM(B2:B3)"])
    totals["A4"].font = HEADING
    money(totals, "B2:B4")
    wb.save(path)


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else HERE)
    work = tempfile.mkdtemp(prefix="samples-")
    try:
        employee = os.path.join(work, "Employee.xlsx")
        departments = os.path.join(work, "Departme.xlsx")
        make_employee(employee)
        make_departments(departments)
        lo.store_calculated([employee, departments], out)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
