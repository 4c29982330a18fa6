// A workbook's macro project (the part xl/vbaProject.bin, a compound file), read for listing:
// its components in the project's order, each with its name, its kind and its code. Standard
// modules are told apart from class modules, forms and the documents' modules (the workbook's
// and its sheets'), as the project's own records say. Reading never changes the part, which the
// workbook layer saves back byte for byte. Nothing here runs code.
#pragma once

#include "platform/sheet/CodeModule.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace platform::sheet {

class Workbook;

struct MacroComponent {
    // The numbers the program's callers compare with.
    enum class Type { StandardModule = 1, ClassModule = 2, Form = 3, Document = 100 };

    QString name;
    Type type = Type::StandardModule;
    CodeModule code;
};

class MacroProject {
public:
    // Reads the part's bytes. Throws SheetError (DamagedMacroProject) for a part that is not a
    // sound macro project.
    static MacroProject read(const QByteArray& part);
    // The workbook's project; no value when it has none. Throws as read() does.
    static std::optional<MacroProject> of(const Workbook& workbook);

    const QString& name() const { return name_; }
    const std::vector<MacroComponent>& components() const { return components_; }
    // By name, without regard to case; null when there is none.
    const MacroComponent* find(const QString& name) const;

private:
    QString name_;
    std::vector<MacroComponent> components_;
};

} // namespace platform::sheet
