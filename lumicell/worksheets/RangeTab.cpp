// See RangeTab.h.
#include "lumicell/worksheets/RangeTab.h"

#include "lumicell/AddIn.h"
#include "lumicell/BuildTabPages.h"
#include "lumicell/cOptions.h"
#include "lumicell/worksheets/LoadExcelData.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/NamedControls.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumicell {

RangeTab::RangeTab(QWidget* parent)
    : BuildTabPage(parent) {
    setObjectName(QStringLiteral("RangeTab"));
    DataTable1_ = new platform::ui::DataGrid(this);
    DataTable1_->setObjectName(QStringLiteral("DataTable1"));
    cmdGetData_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdGetData"),
                                                          QStringLiteral("Get Data"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DataTable1_, 1);
    layout->addWidget(cmdGetData_, 0, Qt::AlignLeft);
    connect(cmdGetData_, &QPushButton::clicked, this, &RangeTab::cmdGetData_Click);
}

void RangeTab::retarget() {
    setOwnTabEnabled(gOptions() && QFileInfo(gOptions()->MFFullPath).isFile());
}

// The imported rows stay (the grid is no grid of the workbook); Get Data waits for a workbook.
void RangeTab::clearGrids() {
    setOwnTabEnabled(false);
}

void RangeTab::cmdGetData_Click() {
    LoadExcelData(gOptions() ? gOptions()->MFFullPath : QString());
}

// The tab control that holds this page is its nearest ancestor of that kind (the page sits in
// the control's stack of pages).
void RangeTab::setOwnTabEnabled(bool on) {
    for (QWidget* above = parentWidget(); above; above = above->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(above)) {
            const int index = tabs->indexOf(this);
            if (index >= 0)
                tabs->setTabEnabled(index, on);
            return;
        }
}

BuildTabPage* RangePage(QWidget* parent) {
    return new RangeTab(parent);
}

} // namespace lumicell
