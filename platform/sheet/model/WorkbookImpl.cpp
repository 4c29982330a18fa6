// Reading a workbook's package into its state, and writing the changed parts back.
#include "platform/sheet/model/WorkbookImpl.h"

#include "platform/sheet/Application.h"
#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/formula/Recalculator.h"
#include "platform/sheet/model/ApplicationImpl.h"
#include "platform/sheet/model/Parallel.h"
#include "platform/sheet/model/SheetNames.h"
#include "platform/sheet/model/WorkbookLock.h"
#include "platform/sheet/model/WorksheetImpl.h"
#include "platform/sheet/package/CellBudget.h"
#include "platform/sheet/package/Conformance.h"
#include "platform/sheet/package/ContentTypes.h"
#include "platform/sheet/package/CustomProperties.h"
#include "platform/sheet/package/ExternalLinks.h"
#include "platform/sheet/package/Package.h"
#include "platform/sheet/package/PackageEncryption.h"
#include "platform/sheet/package/Relationships.h"
#include "platform/sheet/package/SharedStrings.h"
#include "platform/sheet/package/Styles.h"
#include "platform/sheet/package/WorkbookPart.h"
#include "platform/sheet/package/WorksheetPart.h"
#include "platform/sheet/package/XmlText.h"

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <unistd.h>

namespace platform::sheet {

namespace {

using Code = SheetError::Code;

const char* kBlankTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";

std::string folderOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash);
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

Workbook::Impl::Impl(Workbook& self)
    : self(self) {}

namespace {

// The package of a file encrypted with the default password; nothing when another password
// protects it.
std::optional<QByteArray> decryptedWithDefaultPassword(const QByteArray& file) {
    try {
        return PackageEncryption::decrypt(file, PackageEncryption::kDefaultPassword);
    } catch (const SheetError& e) {
        if (e.code() == SheetError::Code::WrongPassword)
            return std::nullopt;
        throw;
    }
}

} // namespace

Workbook::Impl::~Impl() = default;

// ---- opening ---------------------------------------------------------------------------

void Workbook::Impl::load(QByteArray bytes, const OpenOptions& options) {
    if (PackageEncryption::isCompoundFile(bytes)) {
        switch (PackageEncryption::contentOf(bytes)) {
        case PackageEncryption::Content::Encrypted:
            if (options.password.isEmpty()) {
                // Encrypted with the encryption format's default password (which a program uses
                // when no password was given): it opens without asking, as in other programs,
                // and is saved encrypted the same way.
                if (auto plain = decryptedWithDefaultPassword(bytes)) {
                    bytes = std::move(*plain);
                    defaultEncryption = true;
                    break;
                }
                throw SheetError(Code::PasswordRequired,
                                 QStringLiteral("The workbook '%1' is protected by a password.").arg(name));
            }
            bytes = PackageEncryption::decrypt(bytes, options.password);
            openPassword = options.password;
            break;
        case PackageEncryption::Content::LegacyWorkbook:
            throw SheetError(
                Code::LegacyFormat,
                QStringLiteral("The workbook '%1' is in the old binary format (.xls). Open it in a "
                               "spreadsheet program and save it as .xlsx first.")
                    .arg(name));
        case PackageEncryption::Content::Damaged:
            throw SheetError(
                Code::DamagedPackage,
                QStringLiteral("The workbook '%1' is damaged: its file is cut short or broken and "
                               "cannot be read.")
                    .arg(name));
        case PackageEncryption::Content::Other:
            throw SheetError(Code::NotAWorkbook,
                             QStringLiteral("The file '%1' is not a workbook.").arg(name));
        }
    } else if (!bytes.startsWith("PK")) {
        throw SheetError(Code::NotAWorkbook, QStringLiteral("The file '%1' is not a workbook.").arg(name));
    }
    package = std::make_unique<Package>(std::move(bytes));
    // What the parts hold once read is bounded, whatever the file claims; the budget is this
    // reading's alone.
    CellBudget budget;
    package->setBudget(&budget);
    const std::unique_ptr<Package, void (*)(Package*)> budgetGuard(package.get(),
                                                                   [](Package* p) { p->setBudget(nullptr); });
    if (!package->contains(ContentTypes::kPartName) || !package->contains("_rels/.rels"))
        throw SheetError(Code::NotAWorkbook, QStringLiteral("The file '%1' is not a workbook.").arg(name));
    types = std::make_unique<ContentTypes>(ContentTypes::parse(package->read(ContentTypes::kPartName)));
    const Relationships rootRels = Relationships::parse(package->read("_rels/.rels"));
    const Relationship* main = rootRels.firstOfType("officeDocument");
    if (!main)
        throw SheetError(Code::NotAWorkbook, QStringLiteral("The file '%1' is not a workbook.").arg(name));
    workbookPartName = Relationships::resolve("", main->target);
    if (!isWorkbookType(types->typeOf(workbookPartName)) || !package->contains(workbookPartName))
        throw SheetError(Code::NotAWorkbook, QStringLiteral("The file '%1' is not a workbook.").arg(name));

    const std::string relsPart = Relationships::partFor(workbookPartName);
    workbookRels = std::make_unique<Relationships>(
        package->contains(relsPart) ? Relationships::parse(package->read(relsPart)) : Relationships());
    workbookPart = std::make_unique<WorkbookPart>(WorkbookPart::parse(package->read(workbookPartName)));

    strings = std::make_unique<SharedStrings>();
    if (const Relationship* r = workbookRels->firstOfType("sharedStrings")) {
        const std::string part = Relationships::resolve(workbookPartName, r->target);
        if (package->contains(part)) {
            stringsPart = part;
            strings->parse(package->read(part));
        }
    }
    if (const Relationship* r = workbookRels->firstOfType("styles")) {
        const std::string part = Relationships::resolve(workbookPartName, r->target);
        if (package->contains(part)) {
            stylesPart = part;
            styles = std::make_unique<Styles>(Styles::parse(package->read(part)));
        }
    }
    if (!styles)
        styles = std::make_unique<Styles>(Styles::defaults());

    readSheets(budget, options.onlySheet);

    links = std::make_unique<ExternalLinks>();
    links->load(*package, workbookPartName, *workbookRels, workbookPart->externalReferences, self.path());

    if (workbookPart->fileSharing && workbookPart->fileSharing->hasPassword("reservationPassword")) {
        if (options.writeResPassword.isEmpty()) {
            readOnly = true;
            readOnlyReason = Workbook::ReadOnlyReason::WriteReserved;
        } else if (!workbookPart->fileSharing->verify(options.writeResPassword, "reservationPassword"))
            throw SheetError(
                Code::WrongPassword,
                QStringLiteral("The password to open the workbook '%1' for writing is not correct.")
                    .arg(name));
    }
    if (options.readOnly || !options.onlySheet.isEmpty()) {
        readOnly = true;
        readOnlyReason = Workbook::ReadOnlyReason::Asked;
    }
    requireContentTypes();
    readCustomProperties(rootRels);
}

// A custom properties part that cannot be read holds no property for the layer; a property set
// later replaces it.
void Workbook::Impl::readCustomProperties(const Relationships& rootRels) {
    for (const Relationship& r : rootRels.all()) {
        if (r.external || !CustomProperties::isRelationshipType(r.type))
            continue;
        customPart = Relationships::resolve("", r.target);
        try {
            if (package->contains(customPart))
                custom = std::make_unique<CustomProperties>(
                    CustomProperties::parse(package->read(customPart), customPart));
        } catch (const SheetError&) {
            custom.reset();
        }
        return;
    }
}

// Writes the properties when one was set, linking a new part from the package.
void Workbook::Impl::saveCustomProperties() {
    if (!custom || !custom->changed())
        return;
    if (customPart.empty()) {
        customPart = std::string(CustomProperties::kPartName);
        Relationships rootRels = Relationships::parse(package->read("_rels/.rels"));
        rootRels.add(workbookPart->strict() ? CustomProperties::kStrictRelationship
                                            : CustomProperties::kRelationship,
                     customPart);
        package->write("_rels/.rels", rootRels.serialize());
    }
    types->setOverride(customPart, CustomProperties::kContentType);
    package->write(customPart, custom->serialize());
}

// Every part the layer reads has a content type, as the packaging rules require: a package
// without one is damaged, whatever a lenient reader would make of it.
void Workbook::Impl::requireContentTypes() const {
    std::vector<std::string> read{workbookPartName, stringsPart, stylesPart};
    for (const std::string& part : package->partNames())
        if (part.ends_with(".rels"))
            read.push_back(part);
    for (const auto& sheet : sheets)
        if (impl(*sheet).part || impl(*sheet).unread)
            read.push_back(impl(*sheet).partName);
    for (const Relationship& r : workbookRels->all())
        if (!r.external && Relationships::typeIs(r.type, "externalLink"))
            read.push_back(Relationships::resolve(workbookPartName, r.target));
    for (const std::string& part : read)
        if (!part.empty() && package->contains(part) && types->typeOf(part).empty())
            throw SheetError(Code::DamagedPackage,
                             QStringLiteral("The workbook file is damaged: the part %1 has no content type.")
                                 .arg(QString::fromStdString(part)));
}

void Workbook::Impl::readSheets(CellBudget& budget, const QString& onlySheet) {
    if (workbookPart->sheets.empty())
        throw SheetError(Code::DamagedXml, QStringLiteral("The workbook '%1' has no sheets.").arg(name));
    budget.take({0, 0, 0, workbookPart->sheets.size()}, workbookPartName);
    std::vector<Worksheet*> worksheets;
    std::set<unsigned> ids;
    for (const WorkbookPart::SheetEntry& entry : workbookPart->sheets) {
        // A sheet without a part (no relationship, as some writers leave it) is kept as it is
        // among the sheets that are not read, like a dialog sheet.
        const Relationship* rel = entry.relId.empty() ? nullptr : workbookRels->byId(entry.relId);
        Worksheet::Kind kind = Worksheet::Kind::Other;
        if (rel && Relationships::typeIs(rel->type, "worksheet"))
            kind = Worksheet::Kind::Worksheet;
        else if (rel && Relationships::typeIs(rel->type, "chartsheet"))
            kind = Worksheet::Kind::Chart;
        std::unique_ptr<Worksheet> sheet = Worksheet::Impl::make(self, kind);
        Worksheet::Impl& s = impl(*sheet);
        s.name = XmlText::toQString(entry.name);
        s.sheetId = entry.sheetId;
        s.relId = entry.relId;
        if (rel)
            s.partName = Relationships::resolve(workbookPartName, rel->target);
        s.visibility = entry.state == "hidden"       ? Worksheet::Visibility::Hidden
                       : entry.state == "veryHidden" ? Worksheet::Visibility::VeryHidden
                                                     : Worksheet::Visibility::Visible;
        if (s.name.isEmpty() || SheetNames::contains(self.sheetNames(), s.name) ||
            !ids.insert(entry.sheetId).second)
            throw SheetError(
                Code::DamagedXml,
                QStringLiteral("The workbook '%1' lists a sheet name or number twice.").arg(name));
        if (kind == Worksheet::Kind::Worksheet)
            worksheets.push_back(sheet.get());
        sheets.push_back(std::move(sheet));
    }
    const std::vector<Worksheet*> toRead = sheetsToRead(worksheets, onlySheet);
    // Unpack and read the worksheets side by side.
    std::vector<Package::PendingRead> pending;
    pending.reserve(toRead.size());
    std::size_t bytes = 0;
    for (Worksheet* sheet : toRead) {
        pending.push_back(package->prepareRead(impl(*sheet).partName));
        bytes += pending.back().ready ? pending.back().ready->size() : pending.back().entry.size;
    }
    runParallel(toRead.size(), bytes, [&](std::size_t i) {
        std::string xml = pending[i].unpack();
        pending[i].stored = std::string();
        impl(*toRead[i]).part =
            std::make_unique<WorksheetPart>(WorksheetPart::parse(xml, impl(*toRead[i]).partName, &budget));
    });
    for (Worksheet* sheet : toRead)
        readTables(impl(*sheet));
    // The active sheet is the saved one, unless it is hidden or has no part: then the first
    // visible sheet that has one.
    auto canBeActive = [](const Worksheet* sheet) {
        return sheet->visibility() == Worksheet::Visibility::Visible && !impl(*sheet).partName.empty();
    };
    const int tab = std::clamp(workbookPart->activeTab, 0, int(sheets.size()) - 1);
    active = sheets[std::size_t(tab)].get();
    if (!canBeActive(active)) {
        const auto found =
            std::find_if(sheets.begin(), sheets.end(), [&](const auto& s) { return canBeActive(s.get()); });
        if (found != sheets.end())
            active = found->get();
    }
}

// The worksheets whose cells are read: all of them, or for a look at one sheet that one alone
// (see OpenOptions::onlySheet). The parts of the others are unpacked one after the other, so
// that a damaged one is refused as a full reading would refuse it, and dropped at once.
std::vector<Worksheet*> Workbook::Impl::sheetsToRead(const std::vector<Worksheet*>& worksheets,
                                                     const QString& onlySheet) {
    if (onlySheet.isEmpty())
        return worksheets;
    auto named = std::find_if(worksheets.begin(), worksheets.end(), [&](const Worksheet* sheet) {
        return sheet->name().compare(onlySheet, Qt::CaseInsensitive) == 0;
    });
    Worksheet* chosen = named != worksheets.end() ? *named
                        : worksheets.size() == 1  ? worksheets.front()
                                                  : nullptr;
    for (Worksheet* sheet : worksheets) {
        if (sheet == chosen)
            continue;
        package->prepareRead(impl(*sheet).partName).unpack();
        impl(*sheet).unread = true;
    }
    return chosen ? std::vector<Worksheet*>{chosen} : std::vector<Worksheet*>{};
}

// The tables of a worksheet, for the formulas that refer to them. A table part that cannot be
// read is passed over: the formulas that name it are then left to the spreadsheet program, and
// the part is kept as it is.
void Workbook::Impl::readTables(Worksheet::Impl& sheet) {
    const std::string relsPart = Relationships::partFor(sheet.partName);
    if (!package->contains(relsPart))
        return;
    try {
        const Relationships rels = Relationships::parse(package->read(relsPart));
        for (const Relationship& r : rels.all()) {
            if (r.external || !Relationships::typeIs(r.type, TablePart::kRelationship))
                continue;
            const std::string part = Relationships::resolve(sheet.partName, r.target);
            if (package->contains(part))
                sheet.tables.push_back(TablePart::parse(package->read(part), part));
        }
    } catch (const SheetError&) {
        sheet.tables.clear();
    }
}

void Workbook::Impl::buildBlank() {
    package = std::make_unique<Package>();
    types = std::make_unique<ContentTypes>(ContentTypes::parse(kBlankTypes));
    Relationships rootRels;
    rootRels.add(Relationships::kOfficeDocument, "xl/workbook.xml");
    package->write("_rels/.rels", rootRels.serialize());
    workbookPartName = "xl/workbook.xml";
    types->setOverride(workbookPartName, WorkbookPart::kContentType);
    workbookRels = std::make_unique<Relationships>();

    std::unique_ptr<Worksheet> sheet = Worksheet::Impl::make(self, Worksheet::Kind::Worksheet);
    impl(*sheet).name = QStringLiteral("Sheet1");
    impl(*sheet).sheetId = 1;
    impl(*sheet).part = std::make_unique<WorksheetPart>(WorksheetPart::blank(true));
    impl(*sheet).dirty = true;
    impl(*sheet).partName = newSheetPart(impl(*sheet).relId);
    workbookPart = std::make_unique<WorkbookPart>(WorkbookPart::blank("Sheet1", impl(*sheet).relId));
    active = sheet.get();
    sheets.push_back(std::move(sheet));

    styles = std::make_unique<Styles>(Styles::defaults());
    stylesPart = "xl/styles.xml";
    package->write(stylesPart, styles->serialize());
    workbookRels->add(Relationships::kStyles, "styles.xml");
    types->setOverride(stylesPart, Styles::kContentType);

    strings = std::make_unique<SharedStrings>();
    links = std::make_unique<ExternalLinks>();
    structureChanged = true;
}

void Workbook::Impl::lockFile() {
    lock = WorkbookLock::acquire(filePath);
    if (lock)
        return;
    readOnly = true;
    readOnlyReason = WorkbookLock::isInUse(filePath) ? Workbook::ReadOnlyReason::HeldElsewhere
                                                     : Workbook::ReadOnlyReason::NotWritable;
}

void Workbook::Impl::requireOpen() const {
    if (closed)
        throw SheetError(Code::Closed, QStringLiteral("The workbook '%1' has been closed.").arg(name));
}

void Workbook::Impl::requireStructureChange() const {
    requireOpen();
    if (self.structureProtected())
        throw SheetError(
            Code::StructureProtected,
            QStringLiteral("The structure of the workbook '%1' is protected: sheets cannot be added, "
                           "moved, renamed, hidden or deleted.")
                .arg(name));
}

void Workbook::Impl::setActiveSheet(Worksheet& sheet) {
    if (impl(sheet).visibility != Worksheet::Visibility::Visible)
        throw SheetError(
            Code::HiddenSheet,
            QStringLiteral("The sheet '%1' is hidden and cannot be activated.").arg(impl(sheet).name));
    if (application && application->activeWorkbook() != &self)
        application->activate(self);
    if (active == &sheet)
        return;
    Worksheet* old = active;
    active = &sheet;
    structureChanged = true;
    activeChanged = true;
    if (application)
        impl(*application).raiseSheetActivation(old, &sheet);
}

void Workbook::Impl::markStructureChanged() {
    structureChanged = true;
    saved = false;
    if (recalc)
        recalc->sheetsChanged();
}

void Workbook::Impl::sheetListChanged() {
    if (application)
        impl(*application).raiseSheetsChanged(self);
}

void Workbook::Impl::cellWritten(Worksheet& sheet, CellRef cell) {
    cellsWritten = true;
    saved = false;
    recalculator().cellWritten(sheet, cell);
}

// ---- formula results ---------------------------------------------------------------------

Recalculator& Workbook::Impl::recalculator() {
    if (!recalc)
        recalc = std::make_unique<Recalculator>(self);
    return *recalc;
}

std::string Workbook::Impl::newSheetPart(std::string& relId) {
    const std::string folder = folderOf(workbookPartName);
    const std::string part =
        package->freeName((folder.empty() ? std::string() : folder + "/") + "worksheets/sheet%1.xml");
    package->write(part, std::string()); // reserve the name; the sheet is written at the save
    // (A new workbook has no workbook part yet: it is written in Transitional spelling.)
    const bool strict = workbookPart && workbookPart->strict();
    relId = workbookRels->add(Conformance::spelled(Relationships::kWorksheet, strict),
                              Relationships::relativeTarget(workbookPartName, part));
    types->setOverride(part, WorksheetPart::kContentType);
    return part;
}

void Workbook::Impl::prepareSave() {
    // After another sheet was activated, the selected tab follows it; otherwise the sheets'
    // views stay as they were written.
    if (activeChanged)
        for (const auto& s : sheets)
            if (impl(*s).part && impl(*s).part->setTabSelected(s.get() == active))
                impl(*s).dirty = true;

    std::vector<Worksheet*> dirty;
    for (const auto& s : sheets)
        if (impl(*s).dirty && impl(*s).part)
            dirty.push_back(s.get());
    // About the bytes a cell takes in a sheet's part, for telling small work from large.
    constexpr std::size_t kBytesPerCell = 32;
    std::size_t bytes = 0;
    for (Worksheet* s : dirty)
        if (const CellStore* store = impl(*s).cellStore())
            bytes += store->cellCount() * kBytesPerCell;
    std::vector<ZipWriter::Stored> packed(dirty.size());
    runParallel(dirty.size(), bytes, [&](std::size_t i) {
        const std::string xml = impl(*dirty[i]).part->serialize();
        packed[i] = ZipWriter::compress(xml, Package::kDeflateLevel);
    });
    for (std::size_t i = 0; i < dirty.size(); ++i) {
        package->writeStored(impl(*dirty[i]).partName, std::move(packed[i]));
        types->setOverride(impl(*dirty[i]).partName, WorksheetPart::kContentType);
    }

    if (cellsWritten) {
        // Calculated results may be out of date: a spreadsheet program recalculates on opening,
        // and rebuilds its calculation chain, which no longer matches the cells.
        workbookPart->setFullCalcOnLoad();
        if (const Relationship* chain = workbookRels->firstOfType("calcChain")) {
            const std::string part = Relationships::resolve(workbookPartName, chain->target);
            package->remove(part);
            types->removeOverride(part);
            workbookRels->remove(std::string(chain->id));
        }
        structureChanged = true;
    }
    // A part the layer makes for a Strict workbook is written in Strict spelling.
    const bool strict = workbookPart->strict();
    if (strings->changed()) {
        bool made = false;
        if (stringsPart.empty()) {
            const std::string folder = folderOf(workbookPartName);
            stringsPart = (folder.empty() ? std::string() : folder + "/") + "sharedStrings.xml";
            workbookRels->add(Conformance::spelled(Relationships::kSharedStrings, strict),
                              Relationships::relativeTarget(workbookPartName, stringsPart));
            types->setOverride(stringsPart, SharedStrings::kContentType);
            structureChanged = true;
            made = true;
        }
        package->write(stringsPart, Conformance::spelled(strings->serialize(), strict && made));
    }
    if (styles->changed()) {
        bool made = false;
        if (stylesPart.empty()) {
            const std::string folder = folderOf(workbookPartName);
            stylesPart = (folder.empty() ? std::string() : folder + "/") + "styles.xml";
            workbookRels->add(Conformance::spelled(Relationships::kStyles, strict),
                              Relationships::relativeTarget(workbookPartName, stylesPart));
            types->setOverride(stylesPart, Styles::kContentType);
            structureChanged = true;
            made = true;
        }
        package->write(stylesPart, Conformance::spelled(styles->serialize(), strict && made));
    }
    if (links->changed()) {
        links->store(*package, *workbookRels, *types, workbookPart->externalReferences);
        structureChanged = true;
    }
    if (structureChanged) {
        workbookPart->sheets.clear();
        for (const auto& s : sheets) {
            WorkbookPart::SheetEntry entry;
            entry.name = XmlText::toUtf8(impl(*s).name);
            entry.sheetId = impl(*s).sheetId;
            entry.relId = impl(*s).relId;
            entry.state = impl(*s).visibility == Worksheet::Visibility::Hidden       ? "hidden"
                          : impl(*s).visibility == Worksheet::Visibility::VeryHidden ? "veryHidden"
                                                                                     : "";
            workbookPart->sheets.push_back(std::move(entry));
        }
        workbookPart->activeTab = std::max(0, self.indexOf(*active));
        package->write(workbookPartName, workbookPart->serialize());
    }
    if (workbookRels->changed())
        package->write(Relationships::partFor(workbookPartName), workbookRels->serialize());
    saveCustomProperties();
    if (types->changed())
        package->write(ContentTypes::kPartName, types->serialize());
}

QByteArray Workbook::Impl::serialize() {
    requireOpen();
    self.calculate(); // the saved results are current
    prepareSave();
    QByteArray zip = package->save();
    // From now on the saved package is the one untouched parts are copied from.
    package = std::make_unique<Package>(zip);
    for (const auto& s : sheets)
        impl(*s).dirty = false;
    structureChanged = false;
    cellsWritten = false;
    activeChanged = false;
    if (custom)
        custom->markSaved();
    if (!openPassword.isEmpty())
        zip = PackageEncryption::encrypt(zip, openPassword);
    else if (defaultEncryption)
        zip = PackageEncryption::encrypt(zip, PackageEncryption::kDefaultPassword);
    return zip;
}

void Workbook::Impl::writeFile(const QString& path, const QByteArray& bytes) const {
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

void Workbook::Impl::checkExtension(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"xlsx" && suffix != u"xlsm")
        throw SheetError(
            Code::BadFileName,
            QStringLiteral("'%1' is not a workbook name: workbooks are saved as .xlsx or .xlsm.").arg(path));
    if (suffix == u"xlsx" && self.hasMacroProject())
        throw SheetError(
            Code::MacroProjectNeedsXlsm,
            QStringLiteral("The workbook '%1' holds macros and must be saved as .xlsm.").arg(name));
}

void Workbook::Impl::applySaveOptions(const SaveOptions& options) {
    if (options.writeResPassword) {
        if (options.writeResPassword->isEmpty())
            workbookPart->fileSharing.reset();
        else
            workbookPart->fileSharing = ProtectionElement::make("fileSharing", *options.writeResPassword,
                                                                {{"userName", XmlText::toUtf8(userName())}});
        structureChanged = true;
    }
    if (options.password) {
        openPassword = *options.password;
        defaultEncryption = false; // a password of its own, or none at all
    }
}

} // namespace platform::sheet
