// The application object: open workbooks, activation, copy buffer, events.
#include "platform/sheet/Application.h"

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/XmlText.h"

#include <QFileInfo>
#include <algorithm>

namespace platform::sheet {

Application::Application(QObject* parent)
    : QObject(parent) {}

Application::~Application() {
    // Workbooks still open are closed without saving; no events are raised any more.
    blockSignals(true);
    closeAll();
}

Workbook& Application::workbook(int index) const {
    if (index < 0 || index >= workbookCount())
        throw SheetError(SheetError::Code::NoSuchSheet,
                         QStringLiteral("There is no open workbook number %1.").arg(index + 1));
    return *workbooks_[std::size_t(index)];
}

Workbook* Application::findWorkbook(const QString& nameOrPath) const {
    const QString wanted = nameOrPath.contains(u'/') ? QFileInfo(nameOrPath).absoluteFilePath() : nameOrPath;
    for (const auto& wb : workbooks_) {
        if (wb->name().compare(wanted, Qt::CaseInsensitive) == 0 ||
            wb->fullName().compare(wanted, Qt::CaseInsensitive) == 0)
            return wb.get();
    }
    return nullptr;
}

Workbook& Application::open(const QString& path, const OpenOptions& options) {
    const QString full = QFileInfo(path).absoluteFilePath();
    for (const auto& wb : workbooks_) {
        if (wb->fullName() == full) {
            activate(*wb);
            return *wb;
        }
    }
    const QString name = QFileInfo(full).fileName();
    if (findWorkbook(name))
        throw SheetError(
            SheetError::Code::AlreadyOpen,
            QStringLiteral("A workbook named '%1' is already open. Close it before opening another "
                           "workbook of the same name.")
                .arg(name));
    return adopt(Workbook::open(full, options));
}

QString Application::nextBookName() {
    for (;;) {
        const QString name = QStringLiteral("Book%1").arg(nextBook_++);
        if (!findWorkbook(name))
            return name;
    }
}

Workbook& Application::add() {
    return adopt(Workbook::create(nextBookName()));
}

Workbook& Application::adopt(std::unique_ptr<Workbook> workbook) {
    Workbook& wb = *workbook;
    wb.application_ = this;
    workbooks_.push_back(std::move(workbook));
    activate(wb);
    return wb;
}

Workbook& Application::copySheetToNewWorkbook(Worksheet& sheet) {
    return adopt(sheet.workbook().copySheetToNewWorkbook(sheet, nextBookName()));
}

void Application::activate(Workbook& workbook) {
    Workbook* old = activeWorkbook();
    if (old == &workbook)
        return;
    activation_.erase(std::remove(activation_.begin(), activation_.end(), &workbook), activation_.end());
    if (old)
        emit workbookDeactivate(old);
    activation_.push_back(&workbook);
    emit workbookActivate(&workbook);
}

Worksheet* Application::activeSheet() const {
    Workbook* wb = activeWorkbook();
    return wb ? &wb->activeSheet() : nullptr;
}

void Application::close(Workbook& workbook, bool saveChanges) {
    const auto it = std::find_if(workbooks_.begin(), workbooks_.end(),
                                 [&](const auto& w) { return w.get() == &workbook; });
    if (it == workbooks_.end())
        return;
    if (saveChanges && !workbook.saved())
        workbook.save();
    const bool wasActive = activeWorkbook() == &workbook;
    if (wasActive)
        emit workbookDeactivate(&workbook);
    activation_.erase(std::remove(activation_.begin(), activation_.end(), &workbook), activation_.end());
    std::unique_ptr<Workbook> closing = std::move(*it);
    workbooks_.erase(it);
    closing->application_ = nullptr;
    closing->close();
    closing.reset();
    if (wasActive && !activation_.empty())
        emit workbookActivate(activation_.back());
}

void Application::closeAll() {
    while (!workbooks_.empty())
        close(*workbooks_.back(), false);
}

void Application::copy(const Range& source) {
    buffer_.take(source.worksheet(), source.area());
}

void Application::pasteSpecial(const Range& target, PasteType type) {
    buffer_.paste(target.worksheet(), target.area().first, type);
    raiseSheetChange(target.worksheet(), CellRange(target.area().first,
                                                   {target.area().first.row + buffer_.area().rows() - 1,
                                                    target.area().first.col + buffer_.area().columns() - 1}));
}

QString Application::convertFormula(const QString& formula, ReferenceStyle from, ReferenceStyle to,
                                    CellRef base) {
    const bool leadingEquals = formula.startsWith(u'=');
    const std::string body = XmlText::toUtf8(leadingEquals ? formula.mid(1) : formula);
    const QString converted = XmlText::toQString(FormulaText::convertStyle(body, from, to, base));
    return leadingEquals ? u'=' + converted : converted;
}

void Application::raiseSheetChange(Worksheet& sheet, const CellRange& block) {
    emit sheetChange(&sheet, Range(sheet, block));
}

void Application::raiseSheetSelectionChange(Worksheet& sheet, const CellRange& block) {
    emit sheetSelectionChange(&sheet, Range(sheet, block));
}

void Application::raiseSheetActivation(Worksheet* from, Worksheet* to) {
    if (from)
        emit sheetDeactivate(from);
    if (to)
        emit sheetActivate(to);
}

} // namespace platform::sheet
