// Opening, facts, sheets and saving of a workbook; the work behind them is the Impl's
// (model/WorkbookImpl.cpp), the sheet operations are in WorkbookSheets.cpp.
#include "platform/sheet/Workbook.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/formula/Recalculator.h"
#include "platform/sheet/model/WorkbookImpl.h"
#include "platform/sheet/model/WorkbookLock.h"
#include "platform/sheet/model/WorksheetImpl.h"
#include "platform/sheet/package/ContentTypes.h"
#include "platform/sheet/package/CustomProperties.h"
#include "platform/sheet/package/Package.h"
#include "platform/sheet/package/Relationships.h"
#include "platform/sheet/package/WorkbookPart.h"
#include "platform/sheet/package/XmlText.h"

#include <QFile>
#include <QFileInfo>

namespace platform::sheet {

namespace {

using Code = SheetError::Code;

} // namespace

bool Workbook::isWorkbookName(const QString& fileName) {
    return fileName.endsWith(u".xlsx", Qt::CaseInsensitive) ||
           fileName.endsWith(u".xlsm", Qt::CaseInsensitive);
}

Workbook::Workbook()
    : d_(std::make_unique<Impl>(*this)) {}

Workbook::~Workbook() = default;

// ---- opening ---------------------------------------------------------------------------

std::unique_ptr<Workbook> Workbook::open(const QString& path, const OpenOptions& options) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        throw SheetError(Code::FileNotFound,
                         QStringLiteral("The workbook '%1' could not be found.").arg(path));
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly))
        throw SheetError(
            Code::FileNotFound,
            QStringLiteral("The workbook '%1' could not be read: %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    file.close();
    std::unique_ptr<Workbook> wb(new Workbook);
    Impl& d = *wb->d_;
    d.filePath = info.absoluteFilePath();
    d.name = info.fileName();
    d.load(std::move(bytes), options);
    if (!d.readOnly)
        d.lockFile();
    return wb;
}

std::unique_ptr<Workbook> Workbook::openBytes(const QByteArray& bytes, const QString& name,
                                              const OpenOptions& options) {
    std::unique_ptr<Workbook> wb(new Workbook);
    wb->d_->name = name;
    wb->d_->load(bytes, options);
    return wb;
}

std::unique_ptr<Workbook> Workbook::create(const QString& name) {
    std::unique_ptr<Workbook> wb(new Workbook);
    wb->d_->name = name;
    wb->d_->buildBlank();
    return wb;
}

// ---- facts -------------------------------------------------------------------------------

const QString& Workbook::name() const {
    return d_->name;
}

QString Workbook::fullName() const {
    return d_->filePath.isEmpty() ? d_->name : d_->filePath;
}

QString Workbook::path() const {
    return d_->filePath.isEmpty() ? QString() : QFileInfo(d_->filePath).absolutePath();
}

bool Workbook::readOnly() const {
    return d_->readOnly;
}

Workbook::ReadOnlyReason Workbook::readOnlyReason() const {
    return d_->readOnly ? d_->readOnlyReason : ReadOnlyReason::None;
}

QString Workbook::readOnlyReasonText() const {
    switch (readOnlyReason()) {
    case ReadOnlyReason::None:
        return QString();
    case ReadOnlyReason::Asked:
        return QStringLiteral("it was opened for reading only: open it again for writing");
    case ReadOnlyReason::WriteReserved:
        return QStringLiteral(
            "a password protects it against changes, and it was opened without that password");
    case ReadOnlyReason::HeldElsewhere:
        return QStringLiteral("another program holds its file: close it there, then open it again here");
    case ReadOnlyReason::NotWritable:
        return QStringLiteral("its file or its folder may not be written: allow writing, then open it again");
    }
    return QString();
}

bool Workbook::saved() const {
    return d_->saved;
}

void Workbook::setSaved(bool saved) {
    d_->saved = saved;
}

bool Workbook::hasPassword() const {
    return !d_->openPassword.isEmpty();
}

bool Workbook::writeReserved() const {
    const auto& part = d_->workbookPart;
    return part && part->fileSharing && part->fileSharing->hasPassword("reservationPassword");
}

bool Workbook::hasMacroProject() const {
    return d_->workbookRels && d_->workbookRels->firstOfType("vbaProject") != nullptr;
}

std::optional<QByteArray> Workbook::macroProjectPart() const {
    const Relationship* link = d_->workbookRels ? d_->workbookRels->firstOfType("vbaProject") : nullptr;
    if (!link)
        return std::nullopt;
    const std::string content = d_->package->read(Relationships::resolve(d_->workbookPartName, link->target));
    return QByteArray(content.data(), qsizetype(content.size()));
}

bool Workbook::structureProtected() const {
    return d_->workbookPart && d_->workbookPart->lockStructure;
}

bool Workbook::isClosed() const {
    return d_->closed;
}

Application* Workbook::application() const {
    return d_->application;
}

// ---- sheets ------------------------------------------------------------------------------

int Workbook::sheetCount() const {
    return int(d_->sheets.size());
}

Worksheet& Workbook::sheet(int index) const {
    if (index < 0 || index >= sheetCount())
        throw SheetError(
            Code::NoSuchSheet,
            QStringLiteral("The workbook '%1' has no sheet number %2.").arg(d_->name).arg(index + 1));
    return *d_->sheets[std::size_t(index)];
}

Worksheet* Workbook::findSheet(const QString& name) const {
    for (const auto& s : d_->sheets)
        if (s->name().compare(name, Qt::CaseInsensitive) == 0)
            return s.get();
    return nullptr;
}

Worksheet& Workbook::sheet(const QString& name) const {
    if (Worksheet* s = findSheet(name))
        return *s;
    throw SheetError(Code::NoSuchSheet,
                     QStringLiteral("The workbook '%1' has no sheet named '%2'.").arg(d_->name, name));
}

std::vector<Worksheet*> Workbook::worksheets() const {
    std::vector<Worksheet*> out;
    for (const auto& s : d_->sheets)
        if (s->kind() == Worksheet::Kind::Worksheet)
            out.push_back(s.get());
    return out;
}

QStringList Workbook::sheetNames() const {
    QStringList names;
    for (const auto& s : d_->sheets)
        names << s->name();
    return names;
}

int Workbook::indexOf(const Worksheet& sheet) const {
    for (std::size_t i = 0; i < d_->sheets.size(); ++i)
        if (d_->sheets[i].get() == &sheet)
            return int(i);
    return -1;
}

Worksheet& Workbook::activeSheet() const {
    d_->requireOpen();
    return *d_->active;
}

// ---- formula results ---------------------------------------------------------------------

void Workbook::calculate() const {
    if (!d_->closed)
        d_->recalculator().calculate();
}

std::vector<StaleCell> Workbook::staleCells() const {
    d_->requireOpen();
    return d_->recalculator().staleCells();
}

std::optional<CellRef>
Workbook::circularReference(Worksheet& sheet, const std::vector<std::pair<CellRef, QString>>& entries) const {
    d_->requireOpen();
    std::vector<std::pair<CellRef, std::string>> formulas;
    for (const auto& [cell, typed] : entries) {
        const bool formula = typed.size() > 1 && typed.startsWith(u'=');
        formulas.emplace_back(cell, formula ? XmlText::toUtf8(typed.mid(1)) : std::string());
    }
    return d_->recalculator().circularReference(sheet, formulas);
}

// ---- custom document properties --------------------------------------------------------------

std::optional<QString> Workbook::customProperty(const QString& name) const {
    d_->requireOpen();
    return d_->custom ? d_->custom->value(name) : std::nullopt;
}

void Workbook::setCustomProperty(const QString& name, const QString& value) {
    Impl& d = *d_;
    d.requireOpen();
    if (!d.custom)
        d.custom = std::make_unique<CustomProperties>(d.workbookPart->strict());
    d.custom->set(name, value);
    if (d.custom->changed())
        d.saved = false;
}

// ---- saving ------------------------------------------------------------------------------

void Workbook::save() {
    Impl& d = *d_;
    d.requireOpen();
    if (d.filePath.isEmpty())
        throw SheetError(Code::WriteFailed,
                         QStringLiteral("The workbook '%1' has never been saved: save it under a name first.")
                             .arg(d.name));
    if (d.readOnly)
        throw SheetError(
            Code::ReadOnly,
            QStringLiteral("The workbook '%1' is open read-only: save it under another name.").arg(d.name));
    const QByteArray bytes = d.serialize();
    d.writeFile(d.filePath, bytes);
    if (d.lock)
        d.lock->renew();
    d.saved = true;
}

void Workbook::saveAs(const QString& path, const SaveOptions& options) {
    Impl& d = *d_;
    d.requireOpen();
    const QString full = QFileInfo(path).absoluteFilePath();
    d.checkExtension(full);
    const bool same = full == d.filePath;
    if (same && d.readOnly)
        throw SheetError(
            Code::ReadOnly,
            QStringLiteral("The workbook '%1' is open read-only: save it under another name.").arg(d.name));
    if (!same && WorkbookLock::isInUse(full))
        throw SheetError(Code::FileInUse,
                         QStringLiteral("The file '%1' is in use by another program.").arg(full));
    const std::string type(QFileInfo(full).suffix().toLower() == u"xlsm" ? WorkbookPart::kMacroContentType
                                                                         : WorkbookPart::kContentType);
    if (d.types->typeOf(d.workbookPartName) != type) {
        d.types->setOverride(d.workbookPartName, type);
        d.structureChanged = true;
    }
    d.applySaveOptions(options);
    const QByteArray bytes = d.serialize();
    d.writeFile(full, bytes);
    if (same) {
        if (d.lock)
            d.lock->renew();
        d.readOnly = !d.lock;
    } else {
        d.lock.reset();
        d.filePath = full;
        d.name = QFileInfo(full).fileName();
        d.readOnly = false;
        d.lockFile();
    }
    d.saved = true;
}

void Workbook::saveCopyAs(const QString& path) {
    Impl& d = *d_;
    d.requireOpen();
    const QString full = QFileInfo(path).absoluteFilePath();
    if (full == d.filePath)
        throw SheetError(Code::FileInUse, QStringLiteral("A copy cannot be saved over the workbook itself."));
    if (WorkbookLock::isInUse(full))
        throw SheetError(Code::FileInUse,
                         QStringLiteral("The file '%1' is in use by another program.").arg(full));
    const bool wasSaved = d.saved;
    const QByteArray bytes = d.serialize();
    d.writeFile(full, bytes);
    d.saved = wasSaved;
}

QByteArray Workbook::toBytes() {
    return d_->serialize();
}

void Workbook::close() {
    d_->lock.reset();
    d_->closed = true;
}

} // namespace platform::sheet
