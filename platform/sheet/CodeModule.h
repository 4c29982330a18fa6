// The code of one module of a workbook's macro project, as a code editor shows it: its lines
// (the stored "Attribute" lines hidden, as the editor hides them), the declarations at the top,
// and the procedures (Sub, Function, Property) with the lines each one spans. A procedure spans
// from the line after the declarations, or after the procedure before it, to its End line; the
// last one also takes the lines after it. Lines are counted from 1.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace platform::sheet {

class CodeModule {
public:
    enum class ProcKind { Procedure, Property };

    struct Procedure {
        QString name;
        ProcKind kind = ProcKind::Procedure;
        int startLine = 0; // the first line it spans (comments and blank lines before it included)
        int lineCount = 0;
    };

    CodeModule() = default;
    // The module's source as stored, lines ended by CR LF (a lone CR or LF is taken too).
    explicit CodeModule(const QString& source);

    int CountOfLines() const { return int(lines_.size()); }
    int CountOfDeclarationLines() const { return declarationLines_; }
    const QStringList& lines() const { return lines_; }
    QString text() const;

    const std::vector<Procedure>& procedures() const { return procedures_; }
    // The procedure that spans the line; null when none does (a declaration line, or a line
    // outside the module).
    const Procedure* ProcOfLine(int line) const;

private:
    QStringList lines_;
    int declarationLines_ = 0;
    std::vector<Procedure> procedures_;
};

} // namespace platform::sheet
