// Test helpers: fixtures, openpyxl, LibreOffice, zip contents.
#include "SheetTestSupport.h"

#include "platform/sheet/Worksheet.h"
#include "platform/sheet/formula/TypedNumber.h"
#include "platform/sheet/package/ZipWriter.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace sheettest {

QString fixture(const QString& name) {
    return testsupport::fixturePath(QStringLiteral("workbooks/") + name);
}

QString copyOfFixture(const QString& name, const QString& as) {
    const QString target = testsupport::freshDir(QStringLiteral("wb")) + u'/' + (as.isEmpty() ? name : as);
    EXPECT_TRUE(QFile::copy(fixture(name), target)) << qPrintable(name);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

namespace {

QString runPythonWith(const QStringList& arguments) {
    const testsupport::ProgramResult run = testsupport::runPython(arguments);
    if (!run.finished) {
        ADD_FAILURE() << "python did not finish";
        return {};
    }
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    return run.out;
}

} // namespace

QString runPython(const QString& script, const QStringList& args) {
    return runPythonWith(QStringList{QStringLiteral("-c"), script} + args);
}

QString runPythonFile(const QString& file, const QStringList& args) {
    return runPythonWith(QStringList{file} + args);
}

QMap<QString, QString> readWithOpenpyxl(const QString& path, bool storedResults) {
    const QString script = QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1], data_only=sys.argv[2] == "results")
for ws in wb.worksheets:
    print("%s!@state\t%s" % (ws.title, ws.sheet_state))
    for row in ws.iter_rows():
        for c in row:
            if c.value is not None:
                print("%s!%s\t%r" % (ws.title, c.coordinate, c.value))
)");
    QMap<QString, QString> cells;
    const QString mode = storedResults ? QStringLiteral("results") : QStringLiteral("formulas");
    for (const QString& line : runPython(script, {path, mode}).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab > 0)
            cells.insert(line.left(tab), line.mid(tab + 1));
    }
    return cells;
}

namespace {

// Runs LibreOffice's CSV export of one sheet with the given filter options (before the sheet).
QStringList libreOfficeCsv(const QString& path, int sheetIndex, const QString& options, bool recalculate) {
    QTemporaryDir out(QDir::tempPath() + QStringLiteral("/lo-out-XXXXXX"));
    const QString script = QStringLiteral(R"(
import sys
sys.path.insert(0, sys.argv[1])
import office
office.convert(sys.argv[2], sys.argv[3], "csv:Text - txt - csv (StarCalc):" + sys.argv[6] + "," + sys.argv[4],
               recalc_always=sys.argv[5] == "1")
)");
    runPython(script, {testsupport::fixturePath(QString()), path, out.path(), QString::number(sheetIndex),
                       recalculate ? QStringLiteral("1") : QStringLiteral("0"), options});
    const QDir dir(out.path());
    const QStringList made = dir.entryList({QStringLiteral("*.csv")}, QDir::Files);
    if (made.isEmpty()) {
        ADD_FAILURE() << "LibreOffice made no CSV of " << qPrintable(path);
        return {};
    }
    QFile csv(dir.filePath(made.first()));
    csv.open(QIODevice::ReadOnly);
    return QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

QStringList shownByLibreOffice(const QString& path, int sheetIndex) {
    // Comma, double quote, UTF-8, first line 1, standard formats, English (United States), quoted
    // texts as texts, special numbers detected, cells saved as shown.
    return libreOfficeCsv(path, sheetIndex, QStringLiteral("44,34,76,1,,1033,false,true,true,false,false"),
                          true);
}

QStringList convertWithLibreOffice(const QString& path, int sheetIndex, bool recalculate) {
    // LibreOffice keeps the stored results of workbooks from other programs unless told to
    // recalculate on loading: told so, it does as a spreadsheet program honouring the
    // recalculation flag. Filter options: comma, double quote, UTF-8, first line 1, all formats.
    return libreOfficeCsv(path, sheetIndex, QStringLiteral("44,34,76,1,,0,false,true,false,false,false"),
                          recalculate);
}

bool libreOfficeUnprotects(const QString& path, int sheetIndex, const QString& password) {
    const QString tool = testsupport::fixturePath(QStringLiteral("encrypted/lo_password.py"));
    const QString answer =
        runPythonFile(tool, {QStringLiteral("unprotect"), path, QString::number(sheetIndex), password})
            .trimmed();
    EXPECT_TRUE(answer.startsWith(u"protected")) << answer.toStdString();
    return answer.endsWith(u"unprotected");
}

QByteArray packageWithSheetData(const std::string& rows) {
    const std::pair<const char*, std::string> parts[] = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
         "Extension=\"xml\" "
         "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/"
         "><Override "
         "PartName=\"/xl/worksheets/sheet1.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></"
         "Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
         "Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
         "Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets><sheet "
         "name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/worksheets/sheet1.xml",
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + rows +
             "</sheetData></worksheet>"},
    };
    platform::sheet::ZipWriter writer;
    for (const auto& [name, text] : parts)
        writer.add(name, platform::sheet::ZipWriter::compress(text, 1));
    return writer.finish();
}

QMap<QString, QByteArray> zipParts(const QString& path) {
    const QString script = QStringLiteral(R"(
import sys, zipfile, base64
with zipfile.ZipFile(sys.argv[1]) as z:
    for name in z.namelist():
        print(name + "\t" + base64.b64encode(z.read(name)).decode())
)");
    QMap<QString, QByteArray> parts;
    for (const QString& line : runPython(script, {path}).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(u'\t');
        parts.insert(line.left(tab), QByteArray::fromBase64(line.mid(tab + 1).toLatin1()));
    }
    return parts;
}

QStringList csvFields(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

QString shownLikeCsv(const platform::sheet::CellValue& v) {
    using Type = platform::sheet::CellValue::Type;
    switch (v.type) {
    case Type::Number:
        return platform::sheet::CellValue::numberText(v.number);
    case Type::Boolean:
        return v.boolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return v.text;
    }
}

bool sameAsLibreOffice(const platform::sheet::CellValue& ours, const QString& theirs) {
    if (ours.type == platform::sheet::CellValue::Type::Number) {
        bool ok = false;
        double b = theirs.toDouble(&ok);
        // LibreOffice shows dates and percentages in the format it gave the result.
        if (const auto typed = ok ? std::nullopt : platform::sheet::TypedNumber::parse(theirs)) {
            b = typed->value;
            ok = true;
        }
        return ok && std::abs(ours.number - b) <= 1e-9 * std::max({1.0, std::abs(ours.number), std::abs(b)});
    }
    return shownLikeCsv(ours) == theirs;
}

std::string comparableFormula(const QString& formula) {
    return QString(formula)
        .replace(QStringLiteral("TRUE()"), QStringLiteral("TRUE"))
        .replace(QStringLiteral("FALSE()"), QStringLiteral("FALSE"))
        .toStdString();
}

void changeBudgetInputs(platform::sheet::Worksheet& data) {
    data.setEntry({2, 2}, QStringLiteral("260"));
    data.setEntry({3, 1}, QStringLiteral("North"));
    data.setEntry({6, 3}, QStringLiteral("IT"));
    data.setEntry({3, 4}, QStringLiteral("33"));
}

Comparison compareWithLibreOffice(const platform::sheet::Worksheet& sheet, int column, int count,
                                  const QStringList& csvRows,
                                  const std::vector<LibreOfficeDifference>& differences) {
    Comparison result;
    for (int i = 0; i < count && i < csvRows.size(); ++i) {
        const platform::sheet::CellRef cell{i + 1, column};
        const std::string formula = comparableFormula(sheet.formula(cell).mid(1));
        const QStringList fields = csvFields(csvRows[i]);
        if (fields.size() < column) {
            ADD_FAILURE() << "LibreOffice's row has no column " << column << ": " << formula;
            continue;
        }
        const QString& theirs = fields[column - 1];
        if (sheet.isStale(cell)) {
            result.stale << QString::fromStdString(formula);
            continue;
        }
        ++result.compared;
        const platform::sheet::CellValue ours = sheet.value(cell);
        // LibreOffice writes some names in its own letter case (Budget[#all]).
        const auto listed =
            std::find_if(differences.begin(), differences.end(), [&](const LibreOfficeDifference& d) {
                return QString::fromStdString(formula).compare(QString::fromUtf8(d.formula),
                                                               Qt::CaseInsensitive) == 0;
            });
        if (listed != differences.end()) {
            ++result.listed;
            const bool sameNumber =
                ours.type == platform::sheet::CellValue::Type::Number && listed->ours.type == ours.type &&
                std::abs(ours.number - listed->ours.number) <= 1e-9 * std::max(1.0, std::abs(ours.number));
            EXPECT_TRUE(sameNumber || ours == listed->ours)
                << formula << ": ours " << shownLikeCsv(ours).toStdString() << ", listed "
                << shownLikeCsv(listed->ours).toStdString();
            EXPECT_EQ(theirs, QString::fromUtf8(listed->libreOffice)) << formula;
            continue;
        }
        EXPECT_TRUE(sameAsLibreOffice(ours, theirs))
            << formula << ": ours " << shownLikeCsv(ours).toStdString() << ", LibreOffice's "
            << theirs.toStdString();
    }
    return result;
}

void removeFormulaResults(const QString& path) {
    const QString script = QStringLiteral(R"(
import re, shutil, sys, zipfile
path = sys.argv[1]
with zipfile.ZipFile(path) as z:
    parts = [(info, z.read(info.filename)) for info in z.infolist()]
def strip(cell):
    text = cell.group(0)
    return re.sub(r"<v>[^<]*</v>|<v/>", "", text) if "<f" in text else text
with zipfile.ZipFile(path + ".new", "w", zipfile.ZIP_DEFLATED) as z:
    for info, data in parts:
        if info.filename.startswith("xl/worksheets/sheet"):
            data = re.sub(r"<c [^>]*>.*?</c>", strip, data.decode("utf-8"), flags=re.S).encode("utf-8")
        z.writestr(info, data)
shutil.move(path + ".new", path)
)");
    runPython(script, {path});
}

} // namespace sheettest
