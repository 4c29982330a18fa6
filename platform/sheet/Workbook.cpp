// Opening, changing and saving workbooks, and the sheet operations.
#include "platform/sheet/Workbook.h"

#include "platform/sheet/Application.h"
#include "platform/sheet/ContentTypes.h"
#include "platform/sheet/ExternalLinks.h"
#include "platform/sheet/FormulaText.h"
#include "platform/sheet/Package.h"
#include "platform/sheet/PackageEncryption.h"
#include "platform/sheet/Parallel.h"
#include "platform/sheet/formula/Recalculator.h"
#include "platform/sheet/Relationships.h"
#include "platform/sheet/SharedStrings.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/SheetNames.h"
#include "platform/sheet/Styles.h"
#include "platform/sheet/WorkbookLock.h"
#include "platform/sheet/WorkbookPart.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/WorksheetPart.h"
#include "platform/sheet/XmlText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <map>
#include <set>
#include <unistd.h>

namespace platform::sheet {

namespace {

using Code = SheetError::Code;

constexpr std::string_view kRelsType = "application/vnd.openxmlformats-package.relationships+xml";
constexpr std::string_view kThemeType = "application/vnd.openxmlformats-officedocument.theme+xml";
constexpr std::string_view kThemeRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";

const char* kBlankTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";

std::string folderOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash);
}

// The part the relationships part belongs to: "xl/_rels/workbook.xml.rels" -> "xl/workbook.xml".
std::string sourceOfRels(const std::string& rels) {
    const std::size_t marker = rels.rfind("_rels/");
    if (marker == std::string::npos || rels.size() < marker + 6 + 5)
        return {};
    std::string source = rels.substr(0, marker) + rels.substr(marker + 6);
    source.resize(source.size() - 5); // ".rels"
    return source;
}

// "xl/drawings/drawing3.xml" -> "xl/drawings/drawing%1.xml".
std::string numberedPattern(const std::string& part) {
    const std::size_t dot = part.rfind('.');
    const std::size_t slash = part.rfind('/');
    std::size_t end =
        dot == std::string::npos || (slash != std::string::npos && dot < slash) ? part.size() : dot;
    std::size_t start = end;
    while (start > 0 && part[start - 1] >= '0' && part[start - 1] <= '9')
        --start;
    return part.substr(0, start) + "%1" + part.substr(end);
}

std::string extensionOf(const std::string& part) {
    const std::size_t dot = part.rfind('.');
    const std::size_t slash = part.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return part.substr(dot + 1);
}

bool isWorkbookType(const std::string& type) {
    return type.ends_with(".sheet.main+xml") || type.ends_with(".macroEnabled.main+xml") ||
           type.ends_with(".template.main+xml") || type.ends_with(".macroEnabledTemplate.main+xml");
}

QString userName() {
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("user") : user;
}

} // namespace

bool Workbook::isWorkbookName(const QString& fileName) {
    return fileName.endsWith(u".xlsx", Qt::CaseInsensitive) ||
           fileName.endsWith(u".xlsm", Qt::CaseInsensitive);
}

Workbook::Workbook() = default;

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
    wb->filePath_ = info.absoluteFilePath();
    wb->name_ = info.fileName();
    wb->load(std::move(bytes), options);
    if (!wb->readOnly_) {
        wb->lock_ = WorkbookLock::acquire(wb->filePath_);
        if (!wb->lock_)
            wb->readOnly_ = true; // held by someone else, or not writable: open read-only
    }
    return wb;
}

std::unique_ptr<Workbook> Workbook::openBytes(const QByteArray& bytes, const QString& name,
                                              const OpenOptions& options) {
    std::unique_ptr<Workbook> wb(new Workbook);
    wb->name_ = name;
    wb->load(bytes, options);
    return wb;
}

std::unique_ptr<Workbook> Workbook::create(const QString& name) {
    std::unique_ptr<Workbook> wb(new Workbook);
    wb->name_ = name;
    wb->buildBlank();
    return wb;
}

void Workbook::load(QByteArray bytes, const OpenOptions& options) {
    if (PackageEncryption::isEncrypted(bytes)) {
        if (options.password.isEmpty())
            throw SheetError(Code::PasswordRequired,
                             QStringLiteral("The workbook '%1' is protected by a password.").arg(name_));
        bytes = PackageEncryption::decrypt(bytes, options.password);
        openPassword_ = options.password;
    } else if (PackageEncryption::isCompoundFile(bytes)) {
        throw SheetError(
            Code::LegacyFormat,
            QStringLiteral("The workbook '%1' is in the old binary format (.xls). Open it in a spreadsheet "
                           "program and save it as .xlsx first.")
                .arg(name_));
    } else if (!bytes.startsWith("PK")) {
        throw SheetError(Code::NotAWorkbook, QStringLiteral("The file '%1' is not a workbook.").arg(name_));
    }
    package_ = std::make_unique<Package>(std::move(bytes));
    if (!package_->contains(ContentTypes::kPartName) || !package_->contains("_rels/.rels"))
        throw SheetError(Code::NotAWorkbook, QStringLiteral("The file '%1' is not a workbook.").arg(name_));
    types_ = std::make_unique<ContentTypes>(ContentTypes::parse(package_->read(ContentTypes::kPartName)));
    const Relationships rootRels = Relationships::parse(package_->read("_rels/.rels"));
    const Relationship* main = rootRels.firstOfType("officeDocument");
    if (!main)
        throw SheetError(Code::NotAWorkbook, QStringLiteral("The file '%1' is not a workbook.").arg(name_));
    workbookPartName_ = Relationships::resolve("", main->target);
    if (!isWorkbookType(types_->typeOf(workbookPartName_)) || !package_->contains(workbookPartName_))
        throw SheetError(Code::NotAWorkbook, QStringLiteral("The file '%1' is not a workbook.").arg(name_));

    const std::string relsPart = Relationships::partFor(workbookPartName_);
    workbookRels_ = std::make_unique<Relationships>(
        package_->contains(relsPart) ? Relationships::parse(package_->read(relsPart)) : Relationships());
    part_ = std::make_unique<WorkbookPart>(WorkbookPart::parse(package_->read(workbookPartName_)));

    strings_ = std::make_unique<SharedStrings>();
    if (const Relationship* r = workbookRels_->firstOfType("sharedStrings")) {
        const std::string part = Relationships::resolve(workbookPartName_, r->target);
        if (package_->contains(part)) {
            stringsPart_ = part;
            strings_->parse(package_->read(part));
        }
    }
    if (const Relationship* r = workbookRels_->firstOfType("styles")) {
        const std::string part = Relationships::resolve(workbookPartName_, r->target);
        if (package_->contains(part)) {
            stylesPart_ = part;
            styles_ = std::make_unique<Styles>(Styles::parse(package_->read(part)));
        }
    }
    if (!styles_)
        styles_ = std::make_unique<Styles>(Styles::defaults());

    readSheets();

    links_ = std::make_unique<ExternalLinks>();
    links_->load(*package_, workbookPartName_, *workbookRels_, part_->externalReferences, path());

    if (part_->fileSharing && part_->fileSharing->hasPassword("reservationPassword")) {
        if (options.writeResPassword.isEmpty())
            readOnly_ = true;
        else if (!part_->fileSharing->verify(options.writeResPassword, "reservationPassword"))
            throw SheetError(
                Code::WrongPassword,
                QStringLiteral("The password to open the workbook '%1' for writing is not correct.")
                    .arg(name_));
    }
    if (options.readOnly)
        readOnly_ = true;
}

void Workbook::readSheets() {
    if (part_->sheets.empty())
        throw SheetError(Code::DamagedXml, QStringLiteral("The workbook '%1' has no sheets.").arg(name_));
    std::vector<Worksheet*> toRead;
    std::set<unsigned> ids;
    for (const WorkbookPart::SheetEntry& entry : part_->sheets) {
        const Relationship* rel = workbookRels_->byId(entry.relId);
        if (!rel)
            throw SheetError(Code::DamagedXml, QStringLiteral("The sheet '%1' of the workbook has no part.")
                                                   .arg(XmlText::toQString(entry.name)));
        Worksheet::Kind kind = Worksheet::Kind::Other;
        if (Relationships::typeIs(rel->type, "worksheet"))
            kind = Worksheet::Kind::Worksheet;
        else if (Relationships::typeIs(rel->type, "chartsheet"))
            kind = Worksheet::Kind::Chart;
        std::unique_ptr<Worksheet> sheet(new Worksheet(*this, kind));
        sheet->name_ = XmlText::toQString(entry.name);
        sheet->sheetId_ = entry.sheetId;
        sheet->relId_ = entry.relId;
        sheet->partName_ = Relationships::resolve(workbookPartName_, rel->target);
        sheet->visibility_ = entry.state == "hidden"       ? Worksheet::Visibility::Hidden
                             : entry.state == "veryHidden" ? Worksheet::Visibility::VeryHidden
                                                           : Worksheet::Visibility::Visible;
        if (sheet->name_.isEmpty() || SheetNames::contains(sheetNames(), sheet->name_) ||
            !ids.insert(entry.sheetId).second)
            throw SheetError(
                Code::DamagedXml,
                QStringLiteral("The workbook '%1' lists a sheet name or number twice.").arg(name_));
        if (kind == Worksheet::Kind::Worksheet)
            toRead.push_back(sheet.get());
        sheets_.push_back(std::move(sheet));
    }
    // Unpack and read the worksheets side by side.
    std::vector<Package::PendingRead> pending;
    pending.reserve(toRead.size());
    for (Worksheet* sheet : toRead)
        pending.push_back(package_->prepareRead(sheet->partName_));
    runParallel(toRead.size(), [&](std::size_t i) {
        std::string xml = pending[i].unpack();
        pending[i].stored = std::string();
        toRead[i]->part_ = std::make_unique<WorksheetPart>(WorksheetPart::parse(xml, toRead[i]->partName_));
    });
    const int tab = std::clamp(part_->activeTab, 0, int(sheets_.size()) - 1);
    active_ = sheets_[std::size_t(tab)].get();
    if (active_->visibility_ != Worksheet::Visibility::Visible) {
        for (const auto& s : sheets_)
            if (s->visibility_ == Worksheet::Visibility::Visible) {
                active_ = s.get();
                break;
            }
    }
}

void Workbook::buildBlank() {
    package_ = std::make_unique<Package>();
    types_ = std::make_unique<ContentTypes>(ContentTypes::parse(kBlankTypes));
    Relationships rootRels;
    rootRels.add(Relationships::kOfficeDocument, "xl/workbook.xml");
    package_->write("_rels/.rels", rootRels.serialize());
    workbookPartName_ = "xl/workbook.xml";
    types_->setOverride(workbookPartName_, WorkbookPart::kContentType);
    workbookRels_ = std::make_unique<Relationships>();

    std::unique_ptr<Worksheet> sheet(new Worksheet(*this, Worksheet::Kind::Worksheet));
    sheet->name_ = QStringLiteral("Sheet1");
    sheet->sheetId_ = 1;
    sheet->part_ = std::make_unique<WorksheetPart>(WorksheetPart::blank(true));
    sheet->dirty_ = true;
    sheet->partName_ = newSheetPart(sheet->relId_);
    part_ = std::make_unique<WorkbookPart>(WorkbookPart::blank("Sheet1", sheet->relId_));
    active_ = sheet.get();
    sheets_.push_back(std::move(sheet));

    styles_ = std::make_unique<Styles>(Styles::defaults());
    stylesPart_ = "xl/styles.xml";
    package_->write(stylesPart_, styles_->serialize());
    workbookRels_->add(Relationships::kStyles, "styles.xml");
    types_->setOverride(stylesPart_, Styles::kContentType);

    strings_ = std::make_unique<SharedStrings>();
    links_ = std::make_unique<ExternalLinks>();
    structureChanged_ = true;
}

// ---- facts -------------------------------------------------------------------------------

QString Workbook::fullName() const {
    return filePath_.isEmpty() ? name_ : filePath_;
}

QString Workbook::path() const {
    return filePath_.isEmpty() ? QString() : QFileInfo(filePath_).absolutePath();
}

bool Workbook::writeReserved() const {
    return part_ && part_->fileSharing && part_->fileSharing->hasPassword("reservationPassword");
}

bool Workbook::hasMacroProject() const {
    return workbookRels_ && workbookRels_->firstOfType("vbaProject") != nullptr;
}

bool Workbook::structureProtected() const {
    return part_ && part_->lockStructure;
}

void Workbook::requireOpen() const {
    if (closed_)
        throw SheetError(Code::Closed, QStringLiteral("The workbook '%1' has been closed.").arg(name_));
}

void Workbook::requireStructureChange() const {
    requireOpen();
    if (structureProtected())
        throw SheetError(
            Code::StructureProtected,
            QStringLiteral("The structure of the workbook '%1' is protected: sheets cannot be added, "
                           "moved, renamed, hidden or deleted.")
                .arg(name_));
}

Worksheet& Workbook::sheet(int index) const {
    if (index < 0 || index >= sheetCount())
        throw SheetError(
            Code::NoSuchSheet,
            QStringLiteral("The workbook '%1' has no sheet number %2.").arg(name_).arg(index + 1));
    return *sheets_[std::size_t(index)];
}

Worksheet* Workbook::findSheet(const QString& name) const {
    for (const auto& s : sheets_)
        if (s->name_.compare(name, Qt::CaseInsensitive) == 0)
            return s.get();
    return nullptr;
}

Worksheet& Workbook::sheet(const QString& name) const {
    if (Worksheet* s = findSheet(name))
        return *s;
    throw SheetError(Code::NoSuchSheet,
                     QStringLiteral("The workbook '%1' has no sheet named '%2'.").arg(name_, name));
}

std::vector<Worksheet*> Workbook::worksheets() const {
    std::vector<Worksheet*> out;
    for (const auto& s : sheets_)
        if (s->kind_ == Worksheet::Kind::Worksheet)
            out.push_back(s.get());
    return out;
}

QStringList Workbook::sheetNames() const {
    QStringList names;
    for (const auto& s : sheets_)
        names << s->name_;
    return names;
}

int Workbook::indexOf(const Worksheet& sheet) const {
    for (std::size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].get() == &sheet)
            return int(i);
    return -1;
}

Worksheet& Workbook::activeSheet() const {
    requireOpen();
    return *active_;
}

void Workbook::setActiveSheet(Worksheet& sheet) {
    if (sheet.visibility_ != Worksheet::Visibility::Visible)
        throw SheetError(
            Code::HiddenSheet,
            QStringLiteral("The sheet '%1' is hidden and cannot be activated.").arg(sheet.name_));
    if (application_ && application_->activeWorkbook() != this)
        application_->activate(*this);
    if (active_ == &sheet)
        return;
    Worksheet* old = active_;
    active_ = &sheet;
    structureChanged_ = true;
    activeChanged_ = true;
    if (application_)
        application_->raiseSheetActivation(old, &sheet);
}

void Workbook::markStructureChanged() {
    structureChanged_ = true;
    saved_ = false;
    if (recalc_)
        recalc_->sheetsChanged();
}

void Workbook::cellWritten(Worksheet& sheet, CellRef cell) {
    cellsWritten_ = true;
    saved_ = false;
    recalculator().cellWritten(sheet, cell);
    if (cellWritten_)
        cellWritten_(sheet, cell);
}

// ---- formula results ---------------------------------------------------------------------

Recalculator& Workbook::recalculator() const {
    if (!recalc_)
        recalc_ = std::make_unique<Recalculator>(const_cast<Workbook&>(*this));
    return *recalc_;
}

void Workbook::calculate() const {
    if (!closed_)
        recalculator().calculate();
}

std::vector<StaleCell> Workbook::staleCells() const {
    requireOpen();
    return recalculator().staleCells();
}

// ---- sheet operations --------------------------------------------------------------------

std::string Workbook::newSheetPart(std::string& relId) {
    const std::string folder = folderOf(workbookPartName_);
    const std::string part =
        package_->freeName((folder.empty() ? std::string() : folder + "/") + "worksheets/sheet%1.xml");
    package_->write(part, std::string()); // reserve the name; the sheet is written at the save
    relId =
        workbookRels_->add(Relationships::kWorksheet, Relationships::relativeTarget(workbookPartName_, part));
    types_->setOverride(part, WorksheetPart::kContentType);
    return part;
}

namespace {

unsigned nextSheetId(const std::vector<std::unique_ptr<Worksheet>>& sheets,
                     unsigned (*idOf)(const Worksheet&)) {
    unsigned highest = 0;
    for (const auto& s : sheets)
        highest = std::max(highest, idOf(*s));
    return highest + 1;
}

// Defined names local to a sheet carry the sheet's position; keep them with their sheet when
// positions change.
void remapLocalNames(WorkbookPart& part, const std::vector<Worksheet*>& before,
                     const std::vector<std::unique_ptr<Worksheet>>& after) {
    auto& names = part.definedNames;
    for (auto it = names.begin(); it != names.end();) {
        const std::string id = it->attribute("localSheetId");
        if (id.empty()) {
            ++it;
            continue;
        }
        const int old = std::atoi(id.c_str());
        int now = -1;
        if (old >= 0 && old < int(before.size()))
            for (std::size_t i = 0; i < after.size(); ++i)
                if (after[i].get() == before[std::size_t(old)])
                    now = int(i);
        if (now < 0) {
            it = names.erase(it);
        } else {
            it->setAttribute("localSheetId", std::to_string(now));
            ++it;
        }
    }
}

std::vector<Worksheet*> order(const std::vector<std::unique_ptr<Worksheet>>& sheets) {
    std::vector<Worksheet*> out;
    for (const auto& s : sheets)
        out.push_back(s.get());
    return out;
}

} // namespace

void Workbook::insertSheet(std::unique_ptr<Worksheet> sheet, const Worksheet* before,
                           const Worksheet* after) {
    std::size_t at = sheets_.size();
    if (before && indexOf(*before) >= 0)
        at = std::size_t(indexOf(*before));
    else if (after && indexOf(*after) >= 0)
        at = std::size_t(indexOf(*after)) + 1;
    else if (!before && !after && active_)
        at = std::size_t(indexOf(*active_));
    const std::vector<Worksheet*> was = order(sheets_);
    sheets_.insert(sheets_.begin() + std::ptrdiff_t(at), std::move(sheet));
    remapLocalNames(*part_, was, sheets_);
}

Worksheet& Workbook::addSheet(const Worksheet* before, const Worksheet* after, const QString& name) {
    requireStructureChange();
    const QString sheetName = name.isEmpty() ? SheetNames::forNewSheet(sheetNames()) : name;
    if (const auto problem = SheetNames::problem(sheetName, sheetNames()))
        throw SheetError(SheetNames::contains(sheetNames(), sheetName) ? Code::DuplicateSheetName
                                                                       : Code::BadSheetName,
                         *problem);
    std::unique_ptr<Worksheet> sheet(new Worksheet(*this, Worksheet::Kind::Worksheet));
    sheet->name_ = sheetName;
    sheet->sheetId_ = nextSheetId(sheets_, [](const Worksheet& s) { return s.sheetId_; });
    sheet->part_ = std::make_unique<WorksheetPart>(WorksheetPart::blank(false));
    sheet->partName_ = newSheetPart(sheet->relId_);
    sheet->dirty_ = true;
    Worksheet& added = *sheet;
    insertSheet(std::move(sheet), before, after);
    markStructureChanged();
    setActiveSheet(added);
    return added;
}

Worksheet& Workbook::copySheet(const Worksheet& source, const Worksheet* before, const Worksheet* after) {
    requireStructureChange();
    source.requireCells();
    calculate(); // the copy carries current results
    if (&source.workbook() != this)
        throw SheetError(
            Code::NotAvailable,
            QStringLiteral("A sheet is copied within its workbook or into a new workbook only."));
    std::unique_ptr<Worksheet> copy(new Worksheet(*this, Worksheet::Kind::Worksheet));
    copy->name_ = SheetNames::forCopy(source.name_, sheetNames());
    copy->sheetId_ = nextSheetId(sheets_, [](const Worksheet& s) { return s.sheetId_; });
    copy->part_ = std::make_unique<WorksheetPart>(*source.part_);
    // Table names are unique in a workbook: the copy keeps the cells, not the tables.
    copy->part_->setElement("tableParts", {});
    copy->partName_ = newSheetPart(copy->relId_);
    copy->dirty_ = true;
    copyRelatedParts(*package_, source.partName_, *package_, copy->partName_, *types_, *types_, false);

    // Names local to the source sheet are repeated for the copy.
    const int sourceIndex = indexOf(source);
    std::vector<WorkbookPart::DefinedName> localNames;
    for (const auto& d : part_->definedNames)
        if (!d.attribute("localSheetId").empty() &&
            std::atoi(d.attribute("localSheetId").c_str()) == sourceIndex)
            localNames.push_back(d);
    Worksheet& made = *copy;
    insertSheet(std::move(copy), before, after);
    for (auto& d : localNames) {
        d.text = FormulaText::renameSheet(d.text, XmlText::toUtf8(source.name_), XmlText::toUtf8(made.name_));
        d.setAttribute("localSheetId", std::to_string(indexOf(made)));
        part_->definedNames.push_back(d);
    }
    markStructureChanged();
    setActiveSheet(made);
    return made;
}

void Workbook::moveSheet(Worksheet& sheet, const Worksheet* before, const Worksheet* after) {
    requireStructureChange();
    if (&sheet == before || &sheet == after)
        return;
    const std::vector<Worksheet*> was = order(sheets_);
    const int from = indexOf(sheet);
    std::unique_ptr<Worksheet> moving = std::move(sheets_[std::size_t(from)]);
    sheets_.erase(sheets_.begin() + from);
    std::size_t at = sheets_.size();
    if (before && indexOf(*before) >= 0)
        at = std::size_t(indexOf(*before));
    else if (after && indexOf(*after) >= 0)
        at = std::size_t(indexOf(*after)) + 1;
    sheets_.insert(sheets_.begin() + std::ptrdiff_t(at), std::move(moving));
    remapLocalNames(*part_, was, sheets_);
    markStructureChanged();
}

void Workbook::renameInFormulas(const std::string& oldName, const std::string& newName) {
    for (const auto& s : sheets_) {
        if (!s->part_)
            continue;
        CellStore& cells = s->part_->cells();
        for (const CellStore::Row& row : cells.rows()) {
            for (const CellStore::Cell& cell : row.cells) {
                if (!cell.formula)
                    continue;
                const std::string_view text = cells.formulaText(cell.formula);
                if (text.find('!') == std::string_view::npos)
                    continue;
                const std::string renamed = newName.empty()
                                                ? FormulaText::dropSheet(text, oldName)
                                                : FormulaText::renameSheet(text, oldName, newName);
                if (renamed != text) {
                    cells.setFormulaText(cell.formula, renamed);
                    s->dirty_ = true;
                    // A reference to a deleted sheet is #REF! now: the result changes.
                    if (newName.empty())
                        recalculator().cellWritten(*s, {row.row, cell.col});
                }
            }
        }
    }
    for (auto& d : part_->definedNames)
        d.text = newName.empty() ? FormulaText::dropSheet(d.text, oldName)
                                 : FormulaText::renameSheet(d.text, oldName, newName);
}

void Workbook::renameSheet(Worksheet& sheet, const QString& name) {
    requireStructureChange();
    if (name == sheet.name_)
        return;
    QStringList others = sheetNames();
    others.removeAt(indexOf(sheet));
    if (const auto problem = SheetNames::problem(name, others))
        throw SheetError(SheetNames::contains(others, name) ? Code::DuplicateSheetName : Code::BadSheetName,
                         *problem);
    const std::string oldName = XmlText::toUtf8(sheet.name_);
    sheet.name_ = name;
    renameInFormulas(oldName, XmlText::toUtf8(name));
    markStructureChanged();
}

void Workbook::deleteSheet(Worksheet& sheet) {
    requireStructureChange();
    int visible = 0;
    for (const auto& s : sheets_)
        visible += s->visibility_ == Worksheet::Visibility::Visible ? 1 : 0;
    if (sheets_.size() <= 1 || (sheet.visibility_ == Worksheet::Visibility::Visible && visible <= 1))
        throw SheetError(Code::LastSheet, QStringLiteral("A workbook must keep at least one visible sheet."));
    const std::vector<Worksheet*> was = order(sheets_);
    const int index = indexOf(sheet);
    const std::string name = XmlText::toUtf8(sheet.name_);
    recalculator().sheetRemoved(sheet);
    removeSheetParts(sheet);
    std::unique_ptr<Worksheet> removed = std::move(sheets_[std::size_t(index)]);
    sheets_.erase(sheets_.begin() + index);
    remapLocalNames(*part_, was, sheets_);
    renameInFormulas(name, std::string());
    markStructureChanged();
    if (active_ == removed.get()) {
        active_ = nullptr;
        Worksheet* next = nullptr;
        for (int i = std::min(index, int(sheets_.size()) - 1); i >= 0 && !next; --i)
            if (sheets_[std::size_t(i)]->visibility_ == Worksheet::Visibility::Visible)
                next = sheets_[std::size_t(i)].get();
        for (std::size_t i = 0; i < sheets_.size() && !next; ++i)
            if (sheets_[i]->visibility_ == Worksheet::Visibility::Visible)
                next = sheets_[i].get();
        active_ = next;
        if (application_ && application_->activeWorkbook() == this)
            application_->raiseSheetActivation(nullptr, next);
    }
}

void Workbook::removeSheetParts(Worksheet& sheet) {
    workbookRels_->remove(sheet.relId_);
    // Remove the sheet's part and every part below it that nothing else links to.
    std::set<std::string> removing;
    std::vector<std::string> stack{sheet.partName_};
    auto linkedElsewhere = [&](const std::string& part, const std::string& fromRels) {
        for (const std::string& name : package_->partNames()) {
            if (!name.ends_with(".rels") || name == fromRels || removing.count(sourceOfRels(name)))
                continue;
            const std::string source = sourceOfRels(name);
            const std::string xml = package_->read(name);
            try {
                const Relationships rels = Relationships::parse(xml);
                for (const Relationship& r : rels.all())
                    if (!r.external && Relationships::resolve(source, r.target) == part)
                        return true;
            } catch (const SheetError&) {
                return true; // a part we cannot read: keep what it might link to
            }
        }
        return false;
    };
    while (!stack.empty()) {
        const std::string part = stack.back();
        stack.pop_back();
        if (!removing.insert(part).second)
            continue;
        const std::string rels = Relationships::partFor(part);
        if (package_->contains(rels)) {
            try {
                const Relationships links = Relationships::parse(package_->read(rels));
                for (const Relationship& r : links.all()) {
                    const std::string target = Relationships::resolve(part, r.target);
                    if (!r.external && package_->contains(target) && !linkedElsewhere(target, rels))
                        stack.push_back(target);
                }
            } catch (const SheetError&) {
            }
            package_->remove(rels);
        }
        package_->remove(part);
        types_->removeOverride(part);
    }
}

void Workbook::copyRelatedParts(const Package& from, const std::string& fromPart, Package& to,
                                const std::string& toPart, ContentTypes& toTypes,
                                const ContentTypes& fromTypes, bool newWorkbook) const {
    std::map<std::string, std::string> copied;
    std::function<void(const std::string&, const std::string&)> copyTree = [&](const std::string& source,
                                                                               const std::string& target) {
        const std::string rels = Relationships::partFor(source);
        if (!from.contains(rels))
            return;
        Relationships out;
        const Relationships links = Relationships::parse(from.read(rels));
        for (const Relationship& r : links.all()) {
            if (r.external) {
                out.add(r);
                continue;
            }
            // Tables and pivot tables carry names unique in a workbook; threaded comments refer
            // to the workbook's list of persons. Copies keep the cells without them.
            if (Relationships::typeIs(r.type, "table") || Relationships::typeIs(r.type, "pivotTable") ||
                Relationships::typeIs(r.type, "queryTable") ||
                (newWorkbook && Relationships::typeIs(r.type, "threadedComment")))
                continue;
            const std::string old = Relationships::resolve(source, r.target);
            if (!from.contains(old))
                continue;
            auto it = copied.find(old);
            if (it == copied.end()) {
                const std::string made = to.freeName(numberedPattern(old));
                to.write(made, from.read(old));
                const std::string type = fromTypes.typeOf(old);
                if (fromTypes.hasOverride(old))
                    toTypes.setOverride(made, type);
                else if (!type.empty())
                    toTypes.ensureDefault(extensionOf(made), type);
                it = copied.emplace(old, made).first;
                copyTree(old, made);
            }
            out.add(Relationship{r.id, r.type, Relationships::relativeTarget(target, it->second), false});
        }
        to.write(Relationships::partFor(target), out.serialize());
        toTypes.ensureDefault("rels", kRelsType);
    };
    copyTree(fromPart, toPart);
}

std::unique_ptr<Workbook> Workbook::copySheetToNewWorkbook(const Worksheet& source,
                                                           const QString& newName) const {
    requireOpen();
    source.requireCells();
    calculate(); // the copy carries current results
    std::unique_ptr<Workbook> wb = create(newName);
    Workbook& w = *wb;

    // The formats and theme of this workbook, so that style numbers keep their meaning.
    w.styles_ = std::make_unique<Styles>(*styles_);
    w.package_->write(w.stylesPart_, styles_->serialize());
    if (const Relationship* theme = workbookRels_->firstOfType("theme")) {
        const std::string part = Relationships::resolve(workbookPartName_, theme->target);
        if (package_->contains(part)) {
            w.package_->write("xl/theme/theme1.xml", package_->read(part));
            w.workbookRels_->add(kThemeRel, "theme/theme1.xml");
            w.types_->setOverride("xl/theme/theme1.xml", kThemeType);
        }
    }

    Worksheet& target = *w.sheets_.front();
    target.name_ = source.name_;
    target.part_ = std::make_unique<WorksheetPart>(*source.part_);
    target.part_->setElement("tableParts", {});
    target.dirty_ = true;

    // References to the other sheets of this workbook point at this workbook's file.
    const QString folder = path();
    const std::string sourceFolder = folder.isEmpty() ? std::string() : XmlText::toUtf8(folder) + "/";
    const std::string sourceBook = XmlText::toUtf8(name_);
    const std::string ownName = XmlText::toUtf8(source.name_);
    const ExternalLinks::CellLookup lookup = [&](const std::string& book, const std::string& sheetName,
                                                 CellRef cell) -> std::optional<CellValue> {
        if (book != sourceFolder + sourceBook)
            return std::nullopt;
        const Worksheet* s = findSheet(XmlText::toQString(sheetName));
        if (!s || s->kind_ != Worksheet::Kind::Worksheet)
            return std::nullopt;
        return s->value(cell);
    };
    auto externalised = [&](std::string_view formula) {
        const std::string shown = links_->toDisplay(formula);
        const std::string pointed = FormulaText::mapPrefixes(
            shown, [&](const FormulaText::Prefix& p) -> std::optional<FormulaText::Prefix> {
                if (p.hasBook || p.sheet.empty())
                    return std::nullopt;
                if (p.lastSheet.empty() && XmlText::toQString(p.sheet).compare(XmlText::toQString(ownName),
                                                                               Qt::CaseInsensitive) == 0)
                    return std::nullopt;
                FormulaText::Prefix out = p;
                out.hasBook = true;
                out.folder = sourceFolder;
                out.book = sourceBook;
                return out;
            });
        return w.links_->toFile(pointed, lookup);
    };
    CellStore& cells = target.part_->cells();
    for (CellStore::Row& row : cells.rows()) {
        for (CellStore::Cell& cell : row.cells) {
            if (cell.type == CellStore::Type::Shared)
                cell.text = w.strings_->add(strings_->text(cell.text));
            if (cell.formula) {
                const std::string_view text = cells.formulaText(cell.formula);
                if (text.find('!') != std::string_view::npos) {
                    const std::string changed = externalised(text);
                    if (changed != text)
                        cells.setFormulaText(cell.formula, changed);
                }
            }
        }
    }
    copyRelatedParts(*package_, source.partName_, *w.package_, target.partName_, *w.types_, *types_, true);

    const int sourceIndex = indexOf(source);
    for (auto d : part_->definedNames) {
        if (d.attribute("localSheetId").empty() ||
            std::atoi(d.attribute("localSheetId").c_str()) != sourceIndex)
            continue;
        d.setAttribute("localSheetId", "0");
        d.text = externalised(d.text);
        w.part_->definedNames.push_back(d);
    }
    w.part_->setFullCalcOnLoad();
    w.structureChanged_ = true;
    w.saved_ = false;
    return wb;
}

// ---- saving ------------------------------------------------------------------------------

void Workbook::prepareSave() {
    // After another sheet was activated, the selected tab follows it; otherwise the sheets'
    // views stay as they were written.
    if (activeChanged_)
        for (const auto& s : sheets_)
            if (s->part_ && s->part_->setTabSelected(s.get() == active_))
                s->dirty_ = true;

    std::vector<Worksheet*> dirty;
    for (const auto& s : sheets_)
        if (s->dirty_ && s->part_)
            dirty.push_back(s.get());
    std::vector<ZipWriter::Stored> packed(dirty.size());
    runParallel(dirty.size(), [&](std::size_t i) {
        const std::string xml = dirty[i]->part_->serialize();
        packed[i] = ZipWriter::compress(xml, Package::kDeflateLevel);
    });
    for (std::size_t i = 0; i < dirty.size(); ++i) {
        package_->writeStored(dirty[i]->partName_, std::move(packed[i]));
        types_->setOverride(dirty[i]->partName_, WorksheetPart::kContentType);
    }

    if (cellsWritten_) {
        // Calculated results may be out of date: a spreadsheet program recalculates on opening,
        // and rebuilds its calculation chain, which no longer matches the cells.
        part_->setFullCalcOnLoad();
        if (const Relationship* chain = workbookRels_->firstOfType("calcChain")) {
            const std::string part = Relationships::resolve(workbookPartName_, chain->target);
            package_->remove(part);
            types_->removeOverride(part);
            workbookRels_->remove(std::string(chain->id));
        }
        structureChanged_ = true;
    }
    if (strings_->changed()) {
        if (stringsPart_.empty()) {
            const std::string folder = folderOf(workbookPartName_);
            stringsPart_ = (folder.empty() ? std::string() : folder + "/") + "sharedStrings.xml";
            workbookRels_->add(Relationships::kSharedStrings,
                               Relationships::relativeTarget(workbookPartName_, stringsPart_));
            types_->setOverride(stringsPart_, SharedStrings::kContentType);
            structureChanged_ = true;
        }
        package_->write(stringsPart_, strings_->serialize());
    }
    if (styles_->changed()) {
        if (stylesPart_.empty()) {
            const std::string folder = folderOf(workbookPartName_);
            stylesPart_ = (folder.empty() ? std::string() : folder + "/") + "styles.xml";
            workbookRels_->add(Relationships::kStyles,
                               Relationships::relativeTarget(workbookPartName_, stylesPart_));
            types_->setOverride(stylesPart_, Styles::kContentType);
            structureChanged_ = true;
        }
        package_->write(stylesPart_, styles_->serialize());
    }
    if (links_->changed()) {
        links_->store(*package_, *workbookRels_, *types_, part_->externalReferences);
        structureChanged_ = true;
    }
    if (structureChanged_) {
        part_->sheets.clear();
        for (const auto& s : sheets_) {
            WorkbookPart::SheetEntry entry;
            entry.name = XmlText::toUtf8(s->name_);
            entry.sheetId = s->sheetId_;
            entry.relId = s->relId_;
            entry.state = s->visibility_ == Worksheet::Visibility::Hidden       ? "hidden"
                          : s->visibility_ == Worksheet::Visibility::VeryHidden ? "veryHidden"
                                                                                : "";
            part_->sheets.push_back(std::move(entry));
        }
        part_->activeTab = std::max(0, indexOf(*active_));
        package_->write(workbookPartName_, part_->serialize());
    }
    if (workbookRels_->changed())
        package_->write(Relationships::partFor(workbookPartName_), workbookRels_->serialize());
    if (types_->changed())
        package_->write(ContentTypes::kPartName, types_->serialize());
}

QByteArray Workbook::serialize() {
    requireOpen();
    calculate(); // the saved results are current
    prepareSave();
    QByteArray zip = package_->save();
    // From now on the saved package is the one untouched parts are copied from.
    package_ = std::make_unique<Package>(zip);
    for (const auto& s : sheets_)
        s->dirty_ = false;
    structureChanged_ = false;
    cellsWritten_ = false;
    activeChanged_ = false;
    if (!openPassword_.isEmpty())
        zip = PackageEncryption::encrypt(zip, openPassword_);
    return zip;
}

void Workbook::writeFile(const QString& path, const QByteArray& bytes) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw SheetError(
            Code::WriteFailed,
            QStringLiteral("The workbook could not be written to '%1': %2").arg(path, file.errorString()));
    // The bytes reach the disk before the rename puts them in place of the old file.
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0 || !file.commit())
        throw SheetError(
            Code::WriteFailed,
            QStringLiteral("The workbook could not be written to '%1': %2").arg(path, file.errorString()));
}

void Workbook::checkExtension(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"xlsx" && suffix != u"xlsm")
        throw SheetError(
            Code::BadFileName,
            QStringLiteral("'%1' is not a workbook name: workbooks are saved as .xlsx or .xlsm.").arg(path));
    if (suffix == u"xlsx" && hasMacroProject())
        throw SheetError(
            Code::MacroProjectNeedsXlsm,
            QStringLiteral("The workbook '%1' holds macros and must be saved as .xlsm.").arg(name_));
}

void Workbook::applySaveOptions(const SaveOptions& options) {
    if (options.writeResPassword) {
        if (options.writeResPassword->isEmpty())
            part_->fileSharing.reset();
        else
            part_->fileSharing = ProtectionElement::make("fileSharing", *options.writeResPassword,
                                                         {{"userName", XmlText::toUtf8(userName())}});
        structureChanged_ = true;
    }
    if (options.password)
        openPassword_ = *options.password;
}

void Workbook::save() {
    requireOpen();
    if (filePath_.isEmpty())
        throw SheetError(
            Code::WriteFailed,
            QStringLiteral("The workbook '%1' has never been saved: save it under a name first.").arg(name_));
    if (readOnly_)
        throw SheetError(
            Code::ReadOnly,
            QStringLiteral("The workbook '%1' is open read-only: save it under another name.").arg(name_));
    const QByteArray bytes = serialize();
    writeFile(filePath_, bytes);
    if (lock_)
        lock_->renew();
    saved_ = true;
}

void Workbook::saveAs(const QString& path, const SaveOptions& options) {
    requireOpen();
    const QString full = QFileInfo(path).absoluteFilePath();
    checkExtension(full);
    const bool same = full == filePath_;
    if (same && readOnly_)
        throw SheetError(
            Code::ReadOnly,
            QStringLiteral("The workbook '%1' is open read-only: save it under another name.").arg(name_));
    if (!same && WorkbookLock::isInUse(full))
        throw SheetError(Code::FileInUse,
                         QStringLiteral("The file '%1' is in use by another program.").arg(full));
    const std::string type(QFileInfo(full).suffix().toLower() == u"xlsm" ? WorkbookPart::kMacroContentType
                                                                         : WorkbookPart::kContentType);
    if (types_->typeOf(workbookPartName_) != type) {
        types_->setOverride(workbookPartName_, type);
        structureChanged_ = true;
    }
    applySaveOptions(options);
    const QByteArray bytes = serialize();
    writeFile(full, bytes);
    if (same) {
        if (lock_)
            lock_->renew();
    } else {
        lock_.reset();
        filePath_ = full;
        name_ = QFileInfo(full).fileName();
        lock_ = WorkbookLock::acquire(full);
    }
    readOnly_ = !lock_;
    saved_ = true;
}

void Workbook::saveCopyAs(const QString& path) {
    requireOpen();
    const QString full = QFileInfo(path).absoluteFilePath();
    if (full == filePath_)
        throw SheetError(Code::FileInUse, QStringLiteral("A copy cannot be saved over the workbook itself."));
    if (WorkbookLock::isInUse(full))
        throw SheetError(Code::FileInUse,
                         QStringLiteral("The file '%1' is in use by another program.").arg(full));
    const bool wasSaved = saved_;
    const QByteArray bytes = serialize();
    writeFile(full, bytes);
    saved_ = wasSaved;
}

QByteArray Workbook::toBytes() {
    return serialize();
}

void Workbook::close() {
    lock_.reset();
    closed_ = true;
}

} // namespace platform::sheet
