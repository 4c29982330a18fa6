// See RunMacrosTab.h.
#include "lumicell/worksheets/RunMacrosTab.h"

#include "core/AppTitle.h"
#include "core/RunTrapped.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "lumicell/BuildTabPages.h"
#include "lumicell/worksheets/GridColumn.h"
#include "lumicell/worksheets/RunMacros.h"
#include "platform/sheet/Application.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/Ui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

namespace lumicell {

namespace {

using platform::ui::ColumnKind;
using platform::ui::ComboList;
using platform::ui::DataGrid;
using platform::ui::namedControl;

// The tab's loaders and its run show their failures under the add-in library's title.
template <class Work> bool trapped(Work&& work) {
    return core::RunTrapped(std::forward<Work>(work), core::applicationTitle());
}

ComboList* namedCombo(QWidget* parent, const QString& name) {
    auto* combo = new ComboList(parent, ComboList::Style::DropDownList);
    combo->setObjectName(name);
    return combo;
}

} // namespace

RunMacrosTab::RunMacrosTab(QWidget* parent)
    : BuildTabPage(parent) {
    setObjectName(QStringLiteral("RunMacrosTab"));
    buildControls();
    connect(cbxModuleName_, &ComboList::changed, this, [] { trapped([] { LoadMacroList(); }); });
    connect(chkAllMacro_, &QCheckBox::clicked, this, &RunMacrosTab::loadAllClicked);
    connect(dtRM_, &DataGrid::cellDoubleClicked, this, [this](int, int column, platform::ui::ClickArea area) {
        headerDoubleClicked(column, int(area));
    });
}

void RunMacrosTab::buildControls() {
    dtRM_ = new DataGrid(this);
    dtRM_->setObjectName(QStringLiteral("dtRM"));
    dtRM_->setToolTip(QStringLiteral("Run macro on selected Worksheets."));
    dtRM_->setColumns({GridColumn(QString(), 400, ColumnKind::Check),
                       GridColumn(QStringLiteral("Worksheet Names"), 2200),
                       GridColumn(QStringLiteral("Macro"), 1900, ColumnKind::List)});
    cbxModuleName_ = namedCombo(this, QStringLiteral("cbxModuleName"));
    cbxMacroName_ = namedCombo(this, QStringLiteral("cbxMacroName"));
    chkAllMacro_ = namedControl<QCheckBox>(this, QStringLiteral("chkAllMacro"), QStringLiteral("Load All"));
    chkAllWS_ = namedControl<QCheckBox>(this, QStringLiteral("chkAllWS"), QStringLiteral("All Worksheets"),
                                        QStringLiteral("Select All worksheets."));
    auto* layout = new QGridLayout(this);
    layout->addWidget(namedControl<QLabel>(this, QStringLiteral("Label1"),
                                           QStringLiteral("Select Worksheets and macro.  Click Run to run.")),
                      0, 0, 1, 2);
    layout->addWidget(dtRM_, 1, 0, 6, 1);
    layout->addWidget(namedControl<QLabel>(this, QStringLiteral("lblModule"), QStringLiteral("Module")), 1,
                      1);
    layout->addWidget(cbxModuleName_, 2, 1);
    layout->addWidget(namedControl<QLabel>(this, QStringLiteral("lblMacro"), QStringLiteral("Macro")), 3, 1);
    layout->addWidget(cbxMacroName_, 4, 1);
    layout->addWidget(chkAllMacro_, 5, 1);
    layout->addWidget(chkAllWS_, 6, 1, Qt::AlignTop);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    layout->setRowStretch(6, 1);
}

bool RunMacrosTab::runOk() {
    const bool ran = trapped([] { RunMacrosOnSheets(); });
    core::frmWait::unload();
    if (platform::sheet::Application* app = gXLApp())
        app->setScreenUpdating(true);
    return ran;
}

void RunMacrosTab::retarget() {
    trapped([] { LoadRunMacrosGrid(); });
    if (platform::sheet::Application* app = gXLApp())
        app->setScreenUpdating(true);
    trapped([] { LoadModuleAndMacroLists(); });
}

void RunMacrosTab::clearGrids() {
    dtRM_->resetRows();
}

void RunMacrosTab::loadAllClicked(bool on) {
    QString macro;
    if (on) {
        macro = cbxMacroName_->text();
        if (macro.isEmpty()) {
            platform::ui::msgBox(kSelectMacroText, platform::ui::Buttons::Ok, core::appTitle());
            return;
        }
    }
    for (int row = 0; row < dtRM_->rowCount(); ++row)
        dtRM_->setCellValue(row, kRunMacroColumn, macro);
}

// Every row follows the box's state, then the box shows the opposite.
void RunMacrosTab::headerDoubleClicked(int column, int area) {
    if (column != kRunTickColumn || area != int(platform::ui::ClickArea::Heading))
        return;
    const bool tick = chkAllWS_->isChecked();
    for (int row = 0; row < dtRM_->rowCount(); ++row)
        dtRM_->setCellValue(row, kRunTickColumn, tick ? 1 : 0);
    chkAllWS_->setChecked(!tick);
    dtRM_->refresh();
}

BuildTabPage* RunMacrosPage(QWidget* parent) {
    return new RunMacrosTab(parent);
}

} // namespace lumicell
