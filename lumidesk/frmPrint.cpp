// See frmPrint.h.
#include "lumidesk/frmPrint.h"

#include "core/AppTitle.h"
#include "core/DataControl.h"
#include "core/ErrorMessage.h"
#include "core/cConnection.h"
#include "lumidesk/PrintSelectedTable.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/Ui.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumidesk {

using platform::ui::ComboList;

frmPrint::frmPrint(QWidget* owner)
    : SingleDialog(owner) {
    buildControls();
    Form_Load();
}

void frmPrint::buildControls() {
    lblPrintList_ = new QLabel(QStringLiteral("Table to print:"), this);
    cbxPrintList_ = new ComboList(this, ComboList::Style::DropDownList);
    cbxPrintList_->setObjectName(QStringLiteral("cbxPrintList"));
    cbxPrintList_->setColumnHeadings({QStringLiteral("Document Name"), QStringLiteral("Print Title")});
    cbxPrintList_->setMinimumWidth(360);
    // The drop-down is wide enough for both columns, page titles included.
    cbxPrintList_->view()->setMinimumWidth(480);
    lblPrintList_->setBuddy(cbxPrintList_);
    datPrintRS_ = new DataControl(QStringLiteral("datPrintRS"), this);

    chkSkipHidden_ = new QCheckBox(QStringLiteral("Skip hidden columns"), this);
    chkSkipHidden_->setObjectName(QStringLiteral("chkSkipHidden"));
    chkSkipHidden_->setChecked(true);
    chkFitonpage_ = new QCheckBox(QStringLiteral("Fit on one page"), this);
    chkFitonpage_->setObjectName(QStringLiteral("chkFitonpage"));
    chkFitonpage_->setChecked(true);

    cmdPrintCont_ = new QPushButton(QStringLiteral("Continue"), this);
    cmdPrintCont_->setObjectName(QStringLiteral("cmdPrintCont"));
    cmdPrintCont_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdPrintCont_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPrintList_);
    layout->addWidget(cbxPrintList_);
    layout->addSpacing(6);
    layout->addWidget(chkSkipHidden_);
    layout->addWidget(chkFitonpage_);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(cmdPrintCont_, &QPushButton::clicked, this, &frmPrint::cmdPrintCont_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmPrint::cmdCancel_Click);
}

// The list shows the rows of the Print table, none chosen.
void frmPrint::Form_Load() {
    try {
        datPrintRS_->setConnectionString(core::gCnn ? core::gCnn->LumiCnn() : QString());
        datPrintRS_->setRecordSource(QStringLiteral("SELECT * FROM Print"));
        datPrintRS_->Refresh();
        platform::db::Recordset& rows = datPrintRS_->Recordset();
        for (rows.moveFirst(); !rows.eof(); rows.moveNext())
            cbxPrintList_->addEntry(rows.value(QStringLiteral("Document_Name")).toString(),
                                    {rows.value(QStringLiteral("Page_Header")).toString()});
        cbxPrintList_->setListIndex(-1);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

QString frmPrint::chosenDocument() const {
    return cbxPrintList_->listIndex() < 0 ? QString() : cbxPrintList_->subItem(cbxPrintList_->listIndex(), 0);
}

QString frmPrint::chosenTitle() const {
    return cbxPrintList_->listIndex() < 0 ? QString() : cbxPrintList_->subItem(cbxPrintList_->listIndex(), 1);
}

void frmPrint::cmdPrintCont_Click() {
    if (cbxPrintList_->text().isEmpty()) {
        platform::ui::msgBox(kNothingChosenText, platform::ui::Buttons::Ok, core::appTitle());
        return;
    }
    PrintSelectedTable();
}

void frmPrint::cmdCancel_Click() {
    close();
}

} // namespace lumidesk
