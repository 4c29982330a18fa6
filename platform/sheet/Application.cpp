// The application object: open workbooks, activation, copy buffer, events.
#include "platform/sheet/Application.h"

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/model/ApplicationImpl.h"
#include "platform/sheet/model/WorkbookImpl.h"
#include "platform/sheet/package/XmlText.h"

#include <QFileInfo>
#include <algorithm>

namespace platform::sheet {

Application::Application(QObject* parent)
    : QObject(parent)
    , d_(std::make_unique<Impl>(*this)) {}

Application::~Application() {
    // Workbooks still open are closed without saving; no events are raised any more.
    blockSignals(true);
    closeAll();
}

int Application::workbookCount() const {
    return int(d_->workbooks.size());
}

Workbook& Application::workbook(int index) const {
    if (index < 0 || index >= workbookCount())
        throw SheetError(SheetError::Code::NoSuchSheet,
                         QStringLiteral("There is no open workbook number %1.").arg(index + 1));
    return *d_->workbooks[std::size_t(index)];
}

Workbook* Application::findWorkbook(const QString& nameOrPath) const {
    const QString wanted = nameOrPath.contains(u'/') ? QFileInfo(nameOrPath).absoluteFilePath() : nameOrPath;
    for (const auto& wb : d_->workbooks) {
        if (wb->name().compare(wanted, Qt::CaseInsensitive) == 0 ||
            wb->fullName().compare(wanted, Qt::CaseInsensitive) == 0)
            return wb.get();
    }
    return nullptr;
}

Workbook& Application::open(const QString& path, const OpenOptions& options) {
    const QString full = QFileInfo(path).absoluteFilePath();
    for (const auto& wb : d_->workbooks) {
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

QString Application::Impl::nextBookName() {
    for (;;) {
        const QString name = QStringLiteral("Book%1").arg(nextBook++);
        if (!self.findWorkbook(name))
            return name;
    }
}

Workbook& Application::add() {
    return adopt(Workbook::create(d_->nextBookName()));
}

Workbook& Application::adopt(std::unique_ptr<Workbook> workbook) {
    Workbook& wb = *workbook;
    impl(wb).application = this;
    d_->workbooks.push_back(std::move(workbook));
    emit workbookOpened(&wb);
    activate(wb);
    return wb;
}

Workbook& Application::copySheetToNewWorkbook(Worksheet& sheet) {
    return adopt(sheet.workbook().copySheetToNewWorkbook(sheet, d_->nextBookName()));
}

Workbook* Application::activeWorkbook() const {
    return d_->activation.empty() ? nullptr : d_->activation.back();
}

void Application::activate(Workbook& workbook) {
    Workbook* old = activeWorkbook();
    if (old == &workbook)
        return;
    auto& activation = d_->activation;
    activation.erase(std::remove(activation.begin(), activation.end(), &workbook), activation.end());
    if (old && d_->enableEvents)
        emit workbookDeactivate(old);
    activation.push_back(&workbook);
    if (d_->enableEvents)
        emit workbookActivate(&workbook);
}

Worksheet* Application::activeSheet() const {
    Workbook* wb = activeWorkbook();
    return wb ? &wb->activeSheet() : nullptr;
}

void Application::close(Workbook& workbook, bool saveChanges) {
    if (isHeld(workbook))
        throw SheetError(SheetError::Code::FileInUse, heldText(workbook));
    d_->closeWorkbook(workbook, saveChanges);
}

void Application::Impl::closeWorkbook(Workbook& workbook, bool saveChanges) {
    const auto it =
        std::find_if(workbooks.begin(), workbooks.end(), [&](const auto& w) { return w.get() == &workbook; });
    if (it == workbooks.end())
        return;
    if (saveChanges && !workbook.saved())
        workbook.save();
    emit self.workbookClosing(&workbook);
    const bool wasActive = self.activeWorkbook() == &workbook;
    if (wasActive && enableEvents)
        emit self.workbookDeactivate(&workbook);
    activation.erase(std::remove(activation.begin(), activation.end(), &workbook), activation.end());
    held.erase(std::remove(held.begin(), held.end(), &workbook), held.end());
    std::unique_ptr<Workbook> closing = std::move(*it);
    workbooks.erase(it);
    impl(*closing).application = nullptr;
    closing->close();
    closing.reset();
    if (wasActive && !activation.empty() && enableEvents)
        emit self.workbookActivate(activation.back());
}

void Application::closeAll() {
    while (!d_->workbooks.empty())
        d_->closeWorkbook(*d_->workbooks.back(), false);
}

Application::WorkbookHold::WorkbookHold(Application& app, Workbook& workbook)
    : app_(&app)
    , workbook_(&workbook) {
    app.d_->held.push_back(&workbook);
}

Application::WorkbookHold::~WorkbookHold() {
    if (!app_)
        return;
    auto& held = app_->d_->held;
    if (const auto it = std::find(held.begin(), held.end(), workbook_); it != held.end())
        held.erase(it);
}

bool Application::isHeld(const Workbook& workbook) const {
    return std::find(d_->held.begin(), d_->held.end(), &workbook) != d_->held.end();
}

QString Application::heldText(const Workbook& workbook) {
    return QStringLiteral("The workbook '%1' cannot be closed while an operation works on it. Close it when "
                          "the operation has ended.")
        .arg(workbook.name());
}

int Application::majorVersion() const {
    return d_->majorVersion;
}

void Application::setMajorVersion(int major) {
    d_->majorVersion = major;
}

QString Application::version() const {
    return QString::number(d_->majorVersion) + QStringLiteral(".0");
}

QObject* Application::mainWindow() const {
    return d_->mainWindow.data();
}

void Application::setMainWindow(QObject* window) {
    d_->mainWindow = window;
}

bool Application::enableEvents() const {
    return d_->enableEvents;
}

void Application::setEnableEvents(bool on) {
    d_->enableEvents = on;
}

bool Application::visible() const {
    return d_->visible;
}

void Application::setVisible(bool on) {
    d_->visible = on;
}

bool Application::screenUpdating() const {
    return d_->screenUpdating;
}

void Application::setScreenUpdating(bool on) {
    if (d_->screenUpdating == on)
        return;
    d_->screenUpdating = on;
    emit screenUpdatingChanged(on);
}

bool Application::displayAlerts() const {
    return d_->displayAlerts;
}

void Application::setDisplayAlerts(bool on) {
    d_->displayAlerts = on;
}

bool Application::askToUpdateLinks() const {
    return d_->askToUpdateLinks;
}

void Application::setAskToUpdateLinks(bool on) {
    d_->askToUpdateLinks = on;
}

void Application::copy(const Range& source) {
    d_->buffer.take(source.worksheet(), source.area());
}

void Application::pasteSpecial(const Range& target, PasteType type) {
    const CopyBuffer& buffer = d_->buffer;
    buffer.paste(target.worksheet(), target.area().first, type);
    const CellRef first = target.area().first;
    d_->raiseSheetChange(target.worksheet(), CellRange(first, {first.row + buffer.area().rows() - 1,
                                                               first.col + buffer.area().columns() - 1}));
}

bool Application::hasCopy() const {
    return !d_->buffer.empty();
}

void Application::clearCopy() {
    d_->buffer.clear();
}

QString Application::convertFormula(const QString& formula, ReferenceStyle from, ReferenceStyle to,
                                    CellRef base) {
    const bool leadingEquals = formula.startsWith(u'=');
    const std::string body = XmlText::toUtf8(leadingEquals ? formula.mid(1) : formula);
    const QString converted = XmlText::toQString(FormulaText::convertStyle(body, from, to, base));
    return leadingEquals ? u'=' + converted : converted;
}

void Application::Impl::raiseSheetChange(Worksheet& sheet, const CellRange& block) {
    if (enableEvents)
        emit self.sheetChange(&sheet, Range(sheet, block));
}

void Application::Impl::raiseSheetSelectionChange(Worksheet& sheet, const CellRange& block) {
    if (enableEvents)
        emit self.sheetSelectionChange(&sheet, Range(sheet, block));
}

void Application::Impl::raiseSheetActivation(Worksheet* from, Worksheet* to) {
    if (!enableEvents)
        return;
    if (from)
        emit self.sheetDeactivate(from);
    if (to)
        emit self.sheetActivate(to);
}

void Application::Impl::raiseSheetsChanged(Workbook& workbook) {
    emit self.sheetsChanged(&workbook);
}

} // namespace platform::sheet
