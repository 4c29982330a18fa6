// See MacroProject.h. The part is a compound file: the dir stream (compressed) lists the modules
// and where each one's compressed source starts in its stream; the PROJECT stream (text) says
// which of the other modules are documents' modules, classes or forms.
#include "platform/sheet/MacroProject.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/encryption/CompoundFileReader.h"
#include "platform/sheet/encryption/EncryptionError.h"
#include "platform/sheet/macro/DirStream.h"
#include "platform/sheet/macro/VbaCompression.h"

#include <QHash>
#include <QRegularExpression>

namespace platform::sheet {

namespace {

using Type = MacroComponent::Type;

// "Document=Sheet1/&H00000000", "Class=Class1", "BaseClass=UserForm1": the kinds the PROJECT
// stream gives the modules that are not standard ones.
QHash<QString, Type> kindsOfProjectStream(const QString& text) {
    QHash<QString, Type> kinds;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\r\n]+")))) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals);
        const QString value = line.mid(equals + 1).section(u'/', 0, 0).toLower();
        if (key == u"Document")
            kinds.insert(value, Type::Document);
        else if (key == u"Class")
            kinds.insert(value, Type::ClassModule);
        else if (key == u"BaseClass")
            kinds.insert(value, Type::Form);
    }
    return kinds;
}

MacroComponent component(const encryption::CompoundFileReader& file, const macro::DirModule& module,
                         const QHash<QString, Type>& kinds, std::uint16_t codePage) {
    const QString path = QStringLiteral("VBA/") + module.streamName;
    if (!file.hasStream(path))
        throw SheetError(
            SheetError::Code::DamagedMacroProject,
            QStringLiteral("The macro project has no stream for the module %1.").arg(module.name));
    const QByteArray stream = file.stream(path);
    const QByteArray source = macro::decompress(stream, qsizetype(module.sourceOffset),
                                                QStringLiteral("module %1").arg(module.name));
    MacroComponent result;
    result.name = module.name;
    result.type =
        module.procedural ? Type::StandardModule : kinds.value(module.name.toLower(), Type::ClassModule);
    result.code = CodeModule(macro::decodeText(source, codePage));
    return result;
}

} // namespace

MacroProject MacroProject::read(const QByteArray& part) {
    try {
        const encryption::CompoundFileReader file(part);
        const QByteArray dir =
            macro::decompress(file.stream(QStringLiteral("VBA/dir")), 0, QStringLiteral("dir stream"));
        const macro::DirInfo info = macro::readDir(dir);
        const QHash<QString, Type> kinds = file.hasStream(QStringLiteral("PROJECT"))
                                               ? kindsOfProjectStream(macro::decodeText(
                                                     file.stream(QStringLiteral("PROJECT")), info.codePage))
                                               : QHash<QString, Type>();
        MacroProject project;
        project.name_ = info.projectName;
        for (const macro::DirModule& module : info.modules)
            project.components_.push_back(component(file, module, kinds, info.codePage));
        return project;
    } catch (const encryption::EncryptionError& e) {
        throw SheetError(SheetError::Code::DamagedMacroProject,
                         QStringLiteral("The macro project is damaged: %1").arg(e.message()));
    }
}

std::optional<MacroProject> MacroProject::of(const Workbook& workbook) {
    const std::optional<QByteArray> part = workbook.macroProjectPart();
    if (!part)
        return std::nullopt;
    return read(*part);
}

const MacroComponent* MacroProject::find(const QString& name) const {
    for (const MacroComponent& c : components_)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

} // namespace platform::sheet
