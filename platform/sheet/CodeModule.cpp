// See CodeModule.h.
#include "platform/sheet/CodeModule.h"

#include <QRegularExpression>

namespace platform::sheet {

namespace {

const QRegularExpression& headerPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(
            R"(^(?:(?:Public|Private|Friend)\s+)?(?:Static\s+)?(Sub|Function|Property\s+(?:Get|Let|Set))\s+)"
            R"(([^\W\d]\w*))"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

const QRegularExpression& endPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"((?:^|:)\s*End\s+(?:Sub|Function|Property)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

bool isAttribute(const QString& trimmed) {
    return trimmed.startsWith(QStringLiteral("Attribute "), Qt::CaseInsensitive);
}

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(u'\'') || trimmed.compare(QStringLiteral("Rem"), Qt::CaseInsensitive) == 0 ||
           trimmed.startsWith(QStringLiteral("Rem "), Qt::CaseInsensitive);
}

// The statement text of a line without a trailing comment (a quote outside a string literal).
QString withoutComment(const QString& trimmed) {
    bool inString = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (trimmed[i] == u'"')
            inString = !inString;
        else if (trimmed[i] == u'\'' && !inString)
            return trimmed.left(i).trimmed();
    }
    return trimmed;
}

QStringList visibleLines(const QString& source) {
    QString text = source;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    QStringList lines;
    if (text.isEmpty())
        return lines;
    for (const QString& line : text.split(u'\n'))
        if (!isAttribute(line.trimmed()))
            lines << line;
    return lines;
}

} // namespace

CodeModule::CodeModule(const QString& source)
    : lines_(visibleLines(source)) {
    int lastCodeLine = 0;      // the last statement line seen outside any procedure
    int previousEnd = -1;      // the line the procedure before ended on; -1 before the first one
    bool continued = false;    // the line before ends in " _": this one carries on its statement
    Procedure* open = nullptr; // the procedure whose End has not come yet
    for (int i = 0; i < lines_.size(); ++i) {
        const int line = i + 1;
        const QString trimmed = lines_[i].trimmed();
        const bool carriesOn = continued;
        continued = trimmed.endsWith(QStringLiteral(" _"));
        if (carriesOn || trimmed.isEmpty() || isComment(trimmed))
            continue;
        const QString statement = withoutComment(trimmed);
        const QRegularExpressionMatch header = headerPattern().match(statement);
        if (header.hasMatch()) {
            if (open)
                open->lineCount = line - open->startLine; // an End that never came: it ends here
            const int start = previousEnd < 0 ? lastCodeLine + 1 : (open ? line : previousEnd + 1);
            if (previousEnd < 0)
                declarationLines_ = lastCodeLine;
            const bool property =
                header.captured(1).startsWith(QStringLiteral("Property"), Qt::CaseInsensitive);
            procedures_.push_back(
                {header.captured(2), property ? ProcKind::Property : ProcKind::Procedure, start, 0});
            open = &procedures_.back();
            previousEnd = start - 1;
        } else if (!open && previousEnd < 0) {
            lastCodeLine = line;
        }
        if (open && endPattern().match(statement).hasMatch()) {
            open->lineCount = line - open->startLine + 1;
            previousEnd = line;
            open = nullptr;
        }
    }
    if (procedures_.empty())
        declarationLines_ = lastCodeLine;
    else if (open)
        open->lineCount = int(lines_.size()) - open->startLine + 1;
    else
        procedures_.back().lineCount = int(lines_.size()) - procedures_.back().startLine + 1;
}

QString CodeModule::text() const {
    return lines_.join(QStringLiteral("\r\n"));
}

const CodeModule::Procedure* CodeModule::ProcOfLine(int line) const {
    for (const Procedure& procedure : procedures_)
        if (line >= procedure.startLine && line < procedure.startLine + procedure.lineCount)
            return &procedure;
    return nullptr;
}

} // namespace platform::sheet
