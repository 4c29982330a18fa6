// See frmQSWizard.h.
#include "wizard/frmQSWizard.h"

#include "platform/ui/HelpViewer.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/Twips.h"
#include "wizard/GetDefaultAuthor.h"
#include "wizard/QuickStart.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace wizard {

namespace {

const QColor kDoneColour(0, 255, 0);

// List column widths in points, as the list control measures them.
int columnPixels(int points) {
    return points * 4 / 3;
}

// Paints a row that carries a status colour in that colour even while it is selected: in the
// automatic mode every row is selected, and the green is the progress the user watches.
class StatusRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        if (index.data(Qt::BackgroundRole).isValid())
            plain.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, plain, index);
    }
};

platform::ui::ListBox* statusList(QWidget* parent, const QString& name, const QStringList& headings,
                                  const QList<int>& widths, const QString& tip) {
    auto* list = new platform::ui::ListBox(parent);
    list->setObjectName(name);
    list->setToolTip(tip);
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setItemDelegate(new StatusRowDelegate(list));
    list->setColumnHeadings(headings);
    // A column is never narrower than its heading ("Status" would be cut at its design width).
    for (int c = 0; c < widths.size(); ++c)
        list->setColumnWidth(c, std::max(columnPixels(widths[c]), list->header()->sectionSizeHint(c)));
    return list;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption) {
    auto* text = new QLabel(caption, parent);
    text->setObjectName(name);
    return text;
}

QLineEdit* textBox(QWidget* parent, const QString& name, const QString& tip) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    return box;
}

// addEntry fits the first column to its texts; keep it at least as wide as designed.
void keepDesignWidth(platform::ui::ListBox& list, int points) {
    list.setColumnWidth(0, std::max(list.columnWidth(0), columnPixels(points)));
}

} // namespace

const QStringList& frmQSWizard::stepCaptions() {
    static const QStringList captions = {QStringLiteral("Name the budget"),
                                         QStringLiteral("Build all worksheets as templates"),
                                         QStringLiteral("Name the template folders"),
                                         QStringLiteral("Create the user file templates"),
                                         QStringLiteral("Select the user group email list"),
                                         QStringLiteral("Assign the templates to users"),
                                         QStringLiteral("Distribute the templates as email attachments")};
    return captions;
}

frmQSWizard::frmQSWizard(QWidget* owner)
    : QWidget(owner, Qt::Window) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    buildControls();
    Form_Load();
}

frmQSWizard::~frmQSWizard() = default;

frmQSWizard* frmQSWizard::loaded() {
    return qobject_cast<frmQSWizard*>(platform::ui::LoadedWindows::find(kFormName));
}

void frmQSWizard::buildControls() {
    Label1_ = label(
        this, QStringLiteral("Label1"),
        QStringLiteral("The QuickStart Wizard builds a working budget system from your Excel workbooks.  "
                       "No changes to the files are made.  Select the options you want run or let the "
                       "Wizard decide.  Click on \"Start\" to begin."));
    Label1_->setWordWrap(true);

    lblUsername_ = label(this, QStringLiteral("lblUsername"), QStringLiteral("Budget Author Name"));
    tbxAuthorName_ =
        textBox(this, QStringLiteral("tbxAuthorName"), QStringLiteral("Use your network logon name"));
    lblEmailAddress_ = label(this, QStringLiteral("lblEmailAddress"), QStringLiteral("Email Address"));
    tbxEmailAddress_ =
        textBox(this, QStringLiteral("tbxEmailAddress"), QStringLiteral("Enter your email address"));
    lblProjectName_ = label(this, QStringLiteral("lblProjectName"), QStringLiteral("Project Name"));
    tbxProjectName_ = textBox(this, QStringLiteral("tbxProjectName"), QString());
    lblUsername_->setBuddy(tbxAuthorName_);
    lblEmailAddress_->setBuddy(tbxEmailAddress_);
    lblProjectName_->setBuddy(tbxProjectName_);

    chkWizDecide_ = new QCheckBox(QStringLiteral("Let the Wizard decide!"), this);
    chkWizDecide_->setObjectName(QStringLiteral("chkWizDecide"));
    chkWizDecide_->setToolTip(QStringLiteral("Automates the process."));
    chkWizDecide_->setChecked(true);

    lbxOptions_ = statusList(this, QStringLiteral("lbxOptions"),
                             {QStringLiteral("QuickStart Wizard Option"), QStringLiteral("Status")},
                             {125, 30}, QStringLiteral("Wizard status."));
    lbxWorkbooks_ =
        statusList(this, QStringLiteral("lbxWorkbooks"),
                   {QStringLiteral("Budget Workbooks"), QStringLiteral("Status"), QStringLiteral("Path")},
                   {125, 30, 100}, QStringLiteral("Workbooks being processed."));

    cmdStart_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdStart"), QStringLiteral("Start"),
                                                QStringLiteral("Click to start Wizard processing."));
    cmdOK_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("OK"),
                                                     QStringLiteral("Click to end Wizard."));
    cmdCancel_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                                                QStringLiteral("Click to cancel the operation."));
    cmdHelp_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdHelp"),
                                                       QStringLiteral("Help"), QStringLiteral("Online Help"));

    auto* fields = new QFormLayout;
    fields->addRow(lblUsername_, tbxAuthorName_);
    fields->addRow(lblEmailAddress_, tbxEmailAddress_);
    fields->addRow(lblProjectName_, tbxProjectName_);
    fields->addRow(QString(), chkWizDecide_);

    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addWidget(Label1_, 1, Qt::AlignTop);

    auto* lists = new QHBoxLayout;
    lists->addWidget(lbxOptions_, 1);
    lists->addWidget(lbxWorkbooks_, 1);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* push : {cmdStart_, cmdOK_, cmdCancel_, cmdHelp_})
        buttons->addWidget(push);
    buttons->addStretch(1);

    auto* body = new QHBoxLayout;
    body->addLayout(lists, 1);
    body->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(body, 1);

    connect(chkWizDecide_, &QCheckBox::clicked, this, &frmQSWizard::chkWizDecide_Click);
    connect(cmdStart_, &QPushButton::clicked, this, &frmQSWizard::cmdStart_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmQSWizard::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmQSWizard::cmdCancel_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmQSWizard::cmdHelp_Click);
}

void frmQSWizard::Form_Load() {
    resize(platform::ui::Twips::size(kWidthTwips, kHeightTwips));
    move(0, 0);
    tbxAuthorName_->setText(GetDefaultAuthor(0, false));
    tbxEmailAddress_->setText(GetDefaultAuthor(1, false));
    tbxProjectName_->setText(kDefaultProject);
    InitQuickStartSteps(false, 0);
}

void frmQSWizard::addWorkbook(const QString& fileName, const QString& fullPath) {
    lbxWorkbooks_->addEntry(fileName, {QString(), fullPath});
    keepDesignWidth(*lbxWorkbooks_, 125);
}

void frmQSWizard::markDone(platform::ui::ListBox& list, int row, int statusColumn) {
    QTreeWidgetItem* item = list.topLevelItem(row);
    if (!item)
        return;
    item->setText(statusColumn, kDoneText);
    for (int c = 0; c < list.columnCount(); ++c) {
        item->setBackground(c, kDoneColour);
        item->setForeground(c, QColor(Qt::black));
    }
}

bool frmQSWizard::isDoneRow(const platform::ui::ListBox& list, int row) {
    const QTreeWidgetItem* item = list.topLevelItem(row);
    return item && item->text(1) == kDoneText && item->background(0).color() == kDoneColour;
}

void frmQSWizard::InitQuickStartSteps(bool allSelected, int done) {
    lbxOptions_->clearItems();
    const QStringList& steps = stepCaptions();
    const int shown = allSelected ? kAutomaticSteps : static_cast<int>(steps.size());
    for (int i = 0; i < shown; ++i) {
        const int row = lbxOptions_->addEntry(steps[i], {QString()});
        lbxOptions_->topLevelItem(row)->setSelected(allSelected);
        if (allSelected && i < done)
            markDone(*lbxOptions_, row, 1);
    }
    keepDesignWidth(*lbxOptions_, 125);
}

void frmQSWizard::MarkQuickStartWorkbooks(bool allSelected, int done) {
    QList<std::pair<QString, QString>> rows;
    for (int i = 0; i < lbxWorkbooks_->listCount(); ++i)
        rows.append({lbxWorkbooks_->subItem(i, kWorkbookName), lbxWorkbooks_->subItem(i, kWorkbookPath)});
    lbxWorkbooks_->clearItems();
    for (int i = 0; i < rows.size(); ++i) {
        addWorkbook(rows[i].first, rows[i].second);
        lbxWorkbooks_->topLevelItem(i)->setSelected(allSelected);
        if (allSelected && i < done)
            markDone(*lbxWorkbooks_, i, kWorkbookStatus);
    }
}

void frmQSWizard::chkWizDecide_Click() {
    const bool automatic = chkWizDecide_->isChecked();
    InitQuickStartSteps(automatic, 0);
    MarkQuickStartWorkbooks(automatic, 0);
}

void frmQSWizard::cmdStart_Click() {
    RunQuickStart(*this);
}

void frmQSWizard::closeEvent(QCloseEvent* event) {
    // Unloaded at once: a later opener or run must not find the window while it waits to go.
    setObjectName(QString());
    event->accept();
}

void frmQSWizard::cmdOK_Click() {
    close();
}

void frmQSWizard::cmdCancel_Click() {
    close();
}

void frmQSWizard::cmdHelp_Click() {
    platform::ui::showHelpPage(kFormName);
}

} // namespace wizard
