// See WorkbookView.h.
#include "lumisheet/WorkbookView.h"

#include "lumisheet/SheetModel.h"
#include "lumisheet/SheetView.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QTabBar>
#include <QVBoxLayout>

namespace lumisheet {

using platform::sheet::Worksheet;

WorkbookView::WorkbookView(platform::sheet::Workbook& workbook, QWidget* parent)
    : QWidget(parent)
    , workbook_(workbook)
    , view_(new SheetView(this))
    , tabs_(new QTabBar(this)) {
    setObjectName(QStringLiteral("WorkbookView"));
    tabs_->setObjectName(QStringLiteral("SheetTabs"));
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(tabs_);
    connect(tabs_, &QTabBar::currentChanged, this, &WorkbookView::onTabChosen);
    syncToWorkbook();
}

SheetModel* WorkbookView::modelOf(Worksheet& sheet) {
    auto it = models_.find(&sheet);
    if (it == models_.end())
        it = models_.emplace(&sheet, new SheetModel(sheet, this)).first;
    return it->second;
}

SheetModel* WorkbookView::shownModel() const {
    SheetModel* model = view_->sheetModel();
    return model && model->rowCount() > 0 ? model : nullptr;
}

void WorkbookView::syncToWorkbook() {
    if (workbook_.isClosed())
        return;
    syncing_ = true;
    // Models of sheets that are gone go first: their sheets no longer exist.
    const std::vector<Worksheet*> present = [this] {
        std::vector<Worksheet*> sheets;
        for (int i = 0; i < workbook_.sheetCount(); ++i)
            sheets.push_back(&workbook_.sheet(i));
        return sheets;
    }();
    for (auto it = models_.begin(); it != models_.end();) {
        if (std::find(present.begin(), present.end(), it->first) == present.end()) {
            if (view_->sheetModel() == it->second)
                view_->showSheet(nullptr);
            delete it->second;
            it = models_.erase(it);
        } else {
            ++it;
        }
    }
    while (tabs_->count() > 0)
        tabs_->removeTab(0);
    Worksheet& active = workbook_.activeSheet();
    for (Worksheet* sheet : present) {
        if (sheet->visibility() != Worksheet::Visibility::Visible)
            continue;
        const int tab = tabs_->addTab(sheet->name());
        tabs_->setTabData(tab, QVariant::fromValue(static_cast<void*>(sheet)));
        if (sheet == &active)
            tabs_->setCurrentIndex(tab);
    }
    view_->showSheet(modelOf(active));
    syncing_ = false;
}

void WorkbookView::onTabChosen(int tab) {
    if (syncing_ || tab < 0)
        return;
    auto* sheet = static_cast<Worksheet*>(tabs_->tabData(tab).value<void*>());
    if (!sheet)
        return;
    try {
        sheet->activate();
    } catch (const platform::sheet::SheetError&) {
        // A sheet that cannot be activated (hidden meanwhile): the tabs follow the workbook.
        syncToWorkbook();
        return;
    }
    view_->showSheet(modelOf(*sheet));
}

void WorkbookView::refreshCells() {
    if (SheetModel* model = view_->sheetModel())
        model->refresh();
}

} // namespace lumisheet
