#!/usr/bin/python3
# Writes the benchmark workbook: 20 worksheets of 50,004 cells (4,167 rows of 12 columns), a
# third of them formulas with their calculated results, the texts drawn from 300 shared strings.
# The parts are written the way LibreOffice writes them (shared strings, one <c> per cell).
# SHEETS and ROWS make another size of the same workbook (the small-workbook job: 10 sheets of 84
# rows, 1,008 cells a sheet).
#   make_workbook.py OUTPUT.xlsx [SHEETS ROWS]
import random, sys, zipfile

SHEETS, ROWS = 20, 4167
WORDS = ["Salaries", "Rent", "Travel", "Training", "Equipment", "Licences", "Postage", "Printing",
         "Consulting", "Insurance", "Utilities", "Maintenance", "Catering", "Transport", "Marketing"]


def main(path, SHEETS=SHEETS, ROWS=ROWS):
    rng = random.Random(20240601)
    strings = ["%s %d" % (WORDS[i % len(WORDS)], i) for i in range(300)]
    index = {s: i for i, s in enumerate(strings)}
    total_refs = 0
    sheets = []
    for n in range(SHEETS):
        rows = []
        for r in range(1, ROWS + 1):
            b, c, d, i = (rng.randint(1, 5000) / 4 for _ in range(4))
            t1, t2, t3, t4 = (strings[rng.randrange(len(strings))] for _ in range(4))
            e, f, h = b * c, b + c + d, i * 2
            g = e + f
            cells = [
                '<c r="A%d" t="s"><v>%d</v></c>' % (r, index[t1]),
                '<c r="B%d"><v>%r</v></c>' % (r, b),
                '<c r="C%d"><v>%r</v></c>' % (r, c),
                '<c r="D%d"><v>%r</v></c>' % (r, d),
                '<c r="E%d"><f>B%d*C%d</f><v>%r</v></c>' % (r, r, r, e),
                '<c r="F%d"><f>SUM(B%d:D%d)</f><v>%r</v></c>' % (r, r, r, f),
                '<c r="G%d"><f>E%d+F%d</f><v>%r</v></c>' % (r, r, r, g),
                '<c r="H%d" t="s"><v>%d</v></c>' % (r, index[t2]),
                '<c r="I%d"><v>%r</v></c>' % (r, i),
                '<c r="J%d"><f>I%d*2</f><v>%r</v></c>' % (r, r, h),
                '<c r="K%d" t="s"><v>%d</v></c>' % (r, index[t3]),
                '<c r="L%d" t="s"><v>%d</v></c>' % (r, index[t4]),
            ]
            total_refs += 4
            rows.append('<row r="%d">%s</row>' % (r, "".join(cells)))
        sheets.append('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                      '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                      'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
                      '<dimension ref="A1:L%d"/><sheetData>%s</sheetData></worksheet>' % (ROWS, "".join(rows)))
    main_ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
    rel_ns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    types = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
             '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
             '<Default Extension="xml" ContentType="application/xml"/>'
             '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.'
             'spreadsheetml.sheet.main+xml"/>'
             '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-'
             'officedocument.spreadsheetml.sharedStrings+xml"/>']
    rels = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">']
    book = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<workbook xmlns="%s" xmlns:r="%s"><sheets>' % (main_ns, rel_ns)]
    for n in range(1, SHEETS + 1):
        types.append('<Override PartName="/xl/worksheets/sheet%d.xml" ContentType="application/vnd.'
                     'openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>' % n)
        rels.append('<Relationship Id="rId%d" Type="%s/worksheet" Target="worksheets/sheet%d.xml"/>' % (n, rel_ns, n))
        book.append('<sheet name="Sheet%d" sheetId="%d" r:id="rId%d"/>' % (n, n, n))
    rels.append('<Relationship Id="rIdS" Type="%s/sharedStrings" Target="sharedStrings.xml"/></Relationships>' % rel_ns)
    types.append("</Types>")
    book.append("</sheets></workbook>")
    sst = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="%s" count="%d" uniqueCount="%d">%s</sst>'
           % (main_ns, total_refs, len(strings), "".join("<si><t>%s</t></si>" % s for s in strings)))
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", "".join(types))
        z.writestr("_rels/.rels", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   '<Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % rel_ns)
        z.writestr("xl/workbook.xml", "".join(book))
        z.writestr("xl/_rels/workbook.xml.rels", "".join(rels))
        z.writestr("xl/sharedStrings.xml", sst)
        for n, xml in enumerate(sheets, start=1):
            z.writestr("xl/worksheets/sheet%d.xml" % n, xml)


if __name__ == "__main__":
    main(sys.argv[1], *(int(n) for n in sys.argv[2:4]))
