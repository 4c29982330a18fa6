// The workbook's sheet operations: adding, copying (within the workbook or into a new one),
// moving, renaming and deleting sheets, with the parts, defined names and formulas that follow
// a sheet.
#include "platform/sheet/Application.h"
#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/formula/Recalculator.h"
#include "platform/sheet/model/ApplicationImpl.h"
#include "platform/sheet/model/SheetNames.h"
#include "platform/sheet/model/WorkbookImpl.h"
#include "platform/sheet/model/WorksheetImpl.h"
#include "platform/sheet/package/ContentTypes.h"
#include "platform/sheet/package/ExternalLinks.h"
#include "platform/sheet/package/Package.h"
#include "platform/sheet/package/Relationships.h"
#include "platform/sheet/package/SharedStrings.h"
#include "platform/sheet/package/Styles.h"
#include "platform/sheet/package/WorkbookPart.h"
#include "platform/sheet/package/WorksheetPart.h"
#include "platform/sheet/package/XmlText.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace platform::sheet {

namespace {

using Code = SheetError::Code;

constexpr std::string_view kRelsType = "application/vnd.openxmlformats-package.relationships+xml";

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

constexpr std::string_view kThemeType = "application/vnd.openxmlformats-officedocument.theme+xml";
constexpr std::string_view kThemeRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";

unsigned nextSheetId(const std::vector<std::unique_ptr<Worksheet>>& sheets) {
    unsigned highest = 0;
    for (const auto& s : sheets)
        highest = std::max(highest, impl(*s).sheetId);
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

// ---- the sheet operations ------------------------------------------------------------------

Worksheet& Workbook::addSheet(const Worksheet* before, const Worksheet* after, const QString& name) {
    d_->requireStructureChange();
    const QString sheetName = name.isEmpty() ? SheetNames::forNewSheet(sheetNames()) : name;
    if (const auto problem = SheetNames::problem(sheetName, sheetNames()))
        throw SheetError(SheetNames::contains(sheetNames(), sheetName) ? Code::DuplicateSheetName
                                                                       : Code::BadSheetName,
                         *problem);
    std::unique_ptr<Worksheet> sheet = Worksheet::Impl::make(*this, Worksheet::Kind::Worksheet);
    Worksheet::Impl& s = impl(*sheet);
    s.name = sheetName;
    s.sheetId = nextSheetId(d_->sheets);
    s.part = std::make_unique<WorksheetPart>(WorksheetPart::blank(false, d_->workbookPart->strict()));
    s.partName = d_->newSheetPart(s.relId);
    s.dirty = true;
    Worksheet& added = *sheet;
    d_->insertSheet(std::move(sheet), before, after);
    d_->markStructureChanged();
    d_->setActiveSheet(added);
    d_->sheetListChanged();
    return added;
}

Worksheet& Workbook::copySheet(const Worksheet& source, const Worksheet* before, const Worksheet* after) {
    Impl& d = *d_;
    d.requireStructureChange();
    const Worksheet::Impl& from = impl(source);
    from.requireCells();
    calculate(); // the copy carries current results
    if (&source.workbook() != this)
        throw SheetError(
            Code::NotAvailable,
            QStringLiteral("A sheet is copied within its workbook or into a new workbook only."));
    std::unique_ptr<Worksheet> copy = Worksheet::Impl::make(*this, Worksheet::Kind::Worksheet);
    Worksheet::Impl& c = impl(*copy);
    c.name = SheetNames::forCopy(from.name, sheetNames());
    c.sheetId = nextSheetId(d.sheets);
    c.part = std::make_unique<WorksheetPart>(*from.part);
    // Table names are unique in a workbook: the copy keeps the cells, not the tables.
    c.part->setElement("tableParts", {});
    c.partName = d.newSheetPart(c.relId);
    c.dirty = true;
    Impl::copyRelatedParts(*d.package, from.partName, *d.package, c.partName, *d.types, *d.types, false);

    // Names local to the source sheet are repeated for the copy.
    const int sourceIndex = indexOf(source);
    std::vector<WorkbookPart::DefinedName> localNames;
    for (const auto& n : d.workbookPart->definedNames)
        if (!n.attribute("localSheetId").empty() &&
            std::atoi(n.attribute("localSheetId").c_str()) == sourceIndex)
            localNames.push_back(n);
    Worksheet& made = *copy;
    d.insertSheet(std::move(copy), before, after);
    for (auto& n : localNames) {
        n.text = FormulaText::renameSheet(n.text, XmlText::toUtf8(from.name), XmlText::toUtf8(c.name));
        n.setAttribute("localSheetId", std::to_string(indexOf(made)));
        d.workbookPart->definedNames.push_back(n);
    }
    d.markStructureChanged();
    d.setActiveSheet(made);
    d.sheetListChanged();
    return made;
}

void Workbook::moveSheet(Worksheet& sheet, const Worksheet* before, const Worksheet* after) {
    Impl& d = *d_;
    d.requireStructureChange();
    if (&sheet == before || &sheet == after)
        return;
    const std::vector<Worksheet*> was = order(d.sheets);
    const int from = indexOf(sheet);
    std::unique_ptr<Worksheet> moving = std::move(d.sheets[std::size_t(from)]);
    d.sheets.erase(d.sheets.begin() + from);
    std::size_t at = d.sheets.size();
    if (before && indexOf(*before) >= 0)
        at = std::size_t(indexOf(*before));
    else if (after && indexOf(*after) >= 0)
        at = std::size_t(indexOf(*after)) + 1;
    d.sheets.insert(d.sheets.begin() + std::ptrdiff_t(at), std::move(moving));
    remapLocalNames(*d.workbookPart, was, d.sheets);
    d.markStructureChanged();
    d.sheetListChanged();
}

void Workbook::renameSheet(Worksheet& sheet, const QString& name) {
    d_->requireStructureChange();
    Worksheet::Impl& s = impl(sheet);
    if (name == s.name)
        return;
    QStringList others = sheetNames();
    others.removeAt(indexOf(sheet));
    if (const auto problem = SheetNames::problem(name, others))
        throw SheetError(SheetNames::contains(others, name) ? Code::DuplicateSheetName : Code::BadSheetName,
                         *problem);
    const std::string oldName = XmlText::toUtf8(s.name);
    s.name = name;
    d_->renameInFormulas(oldName, XmlText::toUtf8(name));
    d_->markStructureChanged();
    d_->sheetListChanged();
}

void Workbook::deleteSheet(Worksheet& sheet) {
    Impl& d = *d_;
    d.requireStructureChange();
    auto isVisible = [](const Worksheet* s) { return s->visibility() == Worksheet::Visibility::Visible; };
    const auto visible =
        std::count_if(d.sheets.begin(), d.sheets.end(), [&](const auto& s) { return isVisible(s.get()); });
    if (d.sheets.size() <= 1 || (isVisible(&sheet) && visible <= 1))
        throw SheetError(Code::LastSheet, QStringLiteral("A workbook must keep at least one visible sheet."));
    const std::vector<Worksheet*> was = order(d.sheets);
    const int index = indexOf(sheet);
    const std::string name = XmlText::toUtf8(sheet.name());
    d.recalculator().sheetRemoved(sheet);
    d.removeSheetParts(sheet);
    std::unique_ptr<Worksheet> removed = std::move(d.sheets[std::size_t(index)]);
    d.sheets.erase(d.sheets.begin() + index);
    remapLocalNames(*d.workbookPart, was, d.sheets);
    d.renameInFormulas(name, std::string());
    d.markStructureChanged();
    if (d.active == removed.get()) {
        d.active = nullptr;
        Worksheet* next = nullptr;
        for (int i = std::min(index, int(d.sheets.size()) - 1); i >= 0 && !next; --i)
            if (isVisible(d.sheets[std::size_t(i)].get()))
                next = d.sheets[std::size_t(i)].get();
        for (std::size_t i = 0; i < d.sheets.size() && !next; ++i)
            if (isVisible(d.sheets[i].get()))
                next = d.sheets[i].get();
        d.active = next;
        if (d.application && d.application->activeWorkbook() == this)
            impl(*d.application).raiseSheetActivation(nullptr, next);
    }
    d.sheetListChanged();
}

std::unique_ptr<Workbook> Workbook::copySheetToNewWorkbook(const Worksheet& source,
                                                           const QString& newName) const {
    const Impl& d = *d_;
    d.requireOpen();
    const Worksheet::Impl& from = impl(source);
    from.requireCells();
    calculate(); // the copy carries current results
    std::unique_ptr<Workbook> wb = create(newName);
    Impl& w = *wb->d_;

    // The formats and theme of this workbook, so that style numbers keep their meaning.
    w.styles = std::make_unique<Styles>(*d.styles);
    w.package->write(w.stylesPart, d.styles->serialize());
    if (const Relationship* theme = d.workbookRels->firstOfType("theme")) {
        const std::string part = Relationships::resolve(d.workbookPartName, theme->target);
        if (d.package->contains(part)) {
            w.package->write("xl/theme/theme1.xml", d.package->read(part));
            w.workbookRels->add(kThemeRel, "theme/theme1.xml");
            w.types->setOverride("xl/theme/theme1.xml", kThemeType);
        }
    }

    Worksheet::Impl& target = impl(*w.sheets.front());
    target.name = from.name;
    target.part = std::make_unique<WorksheetPart>(*from.part);
    target.part->setElement("tableParts", {});
    target.dirty = true;

    // References to the other sheets of this workbook point at this workbook's file.
    const QString folder = path();
    const std::string sourceFolder = folder.isEmpty() ? std::string() : XmlText::toUtf8(folder) + "/";
    const std::string sourceBook = XmlText::toUtf8(d.name);
    const std::string ownName = XmlText::toUtf8(from.name);
    const ExternalLinks::CellLookup lookup = [&](const std::string& book, const std::string& sheetName,
                                                 CellRef cell) -> std::optional<CellValue> {
        if (book != sourceFolder + sourceBook)
            return std::nullopt;
        const Worksheet* s = findSheet(XmlText::toQString(sheetName));
        if (!s || s->kind() != Worksheet::Kind::Worksheet)
            return std::nullopt;
        return s->value(cell);
    };
    auto externalised = [&](std::string_view formula) {
        const std::string shown = d.links->toDisplay(formula);
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
        return w.links->toFile(pointed, lookup);
    };
    CellStore& cells = target.part->cells();
    for (CellStore::Row& row : cells.rows()) {
        for (CellStore::Cell& cell : row.cells) {
            if (cell.type == CellStore::Type::Shared)
                cell.text = w.strings->add(d.strings->text(cell.text));
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
    Impl::copyRelatedParts(*d.package, from.partName, *w.package, target.partName, *w.types, *d.types, true);

    const int sourceIndex = indexOf(source);
    for (auto n : d.workbookPart->definedNames) {
        if (n.attribute("localSheetId").empty() ||
            std::atoi(n.attribute("localSheetId").c_str()) != sourceIndex)
            continue;
        n.setAttribute("localSheetId", "0");
        n.text = externalised(n.text);
        w.workbookPart->definedNames.push_back(n);
    }
    w.workbookPart->setFullCalcOnLoad();
    w.structureChanged = true;
    w.saved = false;
    return wb;
}

// ---- helpers of the sheet operations --------------------------------------------------------

void Workbook::Impl::insertSheet(std::unique_ptr<Worksheet> sheet, const Worksheet* before,
                                 const Worksheet* after) {
    std::size_t at = sheets.size();
    if (before && self.indexOf(*before) >= 0)
        at = std::size_t(self.indexOf(*before));
    else if (after && self.indexOf(*after) >= 0)
        at = std::size_t(self.indexOf(*after)) + 1;
    else if (!before && !after && active)
        at = std::size_t(self.indexOf(*active));
    const std::vector<Worksheet*> was = order(sheets);
    sheets.insert(sheets.begin() + std::ptrdiff_t(at), std::move(sheet));
    remapLocalNames(*workbookPart, was, sheets);
}

void Workbook::Impl::renameInFormulas(const std::string& oldName, const std::string& newName) {
    for (const auto& s : sheets) {
        if (!impl(*s).part)
            continue;
        CellStore& cells = impl(*s).part->cells();
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
                    impl(*s).dirty = true;
                    // A reference to a deleted sheet is #REF! now: the result changes.
                    if (newName.empty())
                        recalculator().cellWritten(*s, {row.row, cell.col});
                }
            }
        }
    }
    for (auto& d : workbookPart->definedNames)
        d.text = newName.empty() ? FormulaText::dropSheet(d.text, oldName)
                                 : FormulaText::renameSheet(d.text, oldName, newName);
}

void Workbook::Impl::removeSheetParts(Worksheet& sheet) {
    if (impl(sheet).partName.empty())
        return; // a sheet without a part takes nothing along
    workbookRels->remove(impl(sheet).relId);
    // Remove the sheet's part and every part below it that nothing else links to.
    std::set<std::string> removing;
    std::vector<std::string> stack{impl(sheet).partName};
    auto linkedElsewhere = [&](const std::string& part, const std::string& fromRels) {
        for (const std::string& name : package->partNames()) {
            if (!name.ends_with(".rels") || name == fromRels || removing.count(sourceOfRels(name)))
                continue;
            const std::string source = sourceOfRels(name);
            const std::string xml = package->read(name);
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
        if (package->contains(rels)) {
            try {
                const Relationships links = Relationships::parse(package->read(rels));
                for (const Relationship& r : links.all()) {
                    const std::string target = Relationships::resolve(part, r.target);
                    if (!r.external && package->contains(target) && !linkedElsewhere(target, rels))
                        stack.push_back(target);
                }
            } catch (const SheetError&) {
            }
            package->remove(rels);
        }
        package->remove(part);
        types->removeOverride(part);
    }
}

void Workbook::Impl::copyRelatedParts(const Package& from, const std::string& fromPart, Package& to,
                                      const std::string& toPart, ContentTypes& toTypes,
                                      const ContentTypes& fromTypes, bool newWorkbook) {
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

} // namespace platform::sheet
