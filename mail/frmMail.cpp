// See frmMail.h.
#include "mail/frmMail.h"

#include "core/ErrorMessage.h"
#include "core/QueryObject.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "mail/DueDates.h"
#include "mail/MailContext.h"
#include "mail/SendMail.h"
#include "mail/frmCalendar.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace mail {

using platform::db::Recordset;
using platform::ui::ColumnKind;
using platform::ui::DataGridColumn;

namespace {

QPointer<frmMail> gLoaded;

// Runs a handler's work; an error is shown in the program's message and the window stays.
template <typename Work> void trapped(Work&& work) {
    try {
        work();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

platform::ui::ComboList* list(QWidget* parent, const QString& name, const QString& tip) {
    auto* combo = new platform::ui::ComboList(parent, platform::ui::ComboList::Style::DropDownList);
    combo->setObjectName(name);
    combo->setToolTip(tip);
    return combo;
}

bool flag(const QString& key) {
    return runtimeSetting(key, QStringLiteral("1")).trimmed() != QLatin1String("0");
}

} // namespace

frmMail::frmMail(QWidget* owner)
    : QWidget(owner, owner ? Qt::Window : Qt::WindowFlags()) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("SendMail Configuration"));
    buildControls();
    gLoaded = this;
    Form_Load();
}

frmMail::~frmMail() {
    Form_Unload();
}

frmMail* frmMail::loaded() {
    return gLoaded;
}

void frmMail::buildControls() {
    dtSendMail_ = new platform::ui::EditGrid(this);
    dtSendMail_->setObjectName(QStringLiteral("dtSendMail"));
    dtSendMail_->setToolTip(QStringLiteral("Double click column headers to select/unselect ALL."));
    auto column = [](const QString& heading, int width, ColumnKind kind = ColumnKind::Text,
                     bool editable = false) {
        DataGridColumn c;
        c.heading = heading;
        c.widthTwips = width;
        c.kind = kind;
        c.editable = editable;
        return c;
    };
    DataGridColumn id = column(QStringLiteral("ID_UFTD"), 600);
    id.hidden = true;
    dtSendMail_->setColumns(
        {column(QStringLiteral("Send"), 600, ColumnKind::Check, true), column(QStringLiteral("User"), 1500),
         column(QStringLiteral("User Filename"), 2000),
         column(QStringLiteral("Mail File"), 800, ColumnKind::Check, true),
         column(QStringLiteral("Due Date"), 1100), column(QStringLiteral("User File Path"), 3600),
         column(QStringLiteral("Master File"), 1800), id});
    dtSendMail_->setChangeProcedure([this](int row, int col) { dtSendMail_Change(row, col); });
    connect(dtSendMail_, &platform::ui::DataGrid::cellDoubleClicked, this,
            [this](int, int col, platform::ui::ClickArea area) {
                if (area == platform::ui::ClickArea::Heading)
                    dtSendMail_HeadingClick(col);
            });

    cbxFrom_ = list(this, QStringLiteral("cbxFrom"), QStringLiteral("Select the budget administrator."));
    cbxFrom_->setColumnHeadings({QStringLiteral("Name"), QStringLiteral("Address"),
                                 QStringLiteral("Mail server"), QStringLiteral("Account")});
    cbxSubject_ = list(this, QStringLiteral("cbxSubject"), QStringLiteral("Select a \"Subject\"."));
    cbxBodyText_ = list(this, QStringLiteral("cbxBodyText"), QStringLiteral("Select body text."));
    chkAddDueDate_ = platform::ui::namedControl<QCheckBox>(
        this, QStringLiteral("chkAddDueDate"), QStringLiteral("Add Due Date to Subject"),
        QStringLiteral("This appends the Due Date to the Subject."));
    chkAddFN_ = platform::ui::namedControl<QCheckBox>(
        this, QStringLiteral("chkAddFN"), QStringLiteral("Add Filename to Msg"),
        QStringLiteral("This appends the User Filename to the body text."));
    chkAllSendWS_ = platform::ui::namedControl<QCheckBox>(this, QStringLiteral("chkAllSendWS"),
                                                          QStringLiteral("Select All"));
    chkMailAll_ =
        platform::ui::namedControl<QCheckBox>(this, QStringLiteral("chkMailAll"), QStringLiteral("Mail All"));
    chkAllSendWS_->hide();
    chkMailAll_->hide();

    auto* frame = new QGroupBox(QStringLiteral("Set Due Date"), this);
    frame->setObjectName(QStringLiteral("fmeDueDate"));
    tbxDueDate_ = new QLineEdit(frame);
    tbxDueDate_->setObjectName(QStringLiteral("tbxDueDate"));
    tbxDueDate_->setReadOnly(true);
    tbxDueDate_->setPlaceholderText(QStringLiteral("Click to pick"));
    tbxDueDate_->installEventFilter(this);
    chkDueDateAll_ =
        platform::ui::namedControl<QCheckBox>(frame, QStringLiteral("chkDueDateAll"), QStringLiteral("All"));
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(tbxDueDate_);
    frameLayout->addWidget(chkDueDateAll_);

    cmdSendMail_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdSendMail"),
                                                           QStringLiteral("SendMail"));
    cmdCompose_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdCompose"),
                                                          QStringLiteral("Compose"));
    cmdDueDateDone_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdDueDateDone"),
                                                              QStringLiteral("Close"));
    cmdHelp_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    connect(cmdSendMail_, &QPushButton::clicked, this, &frmMail::cmdSendMail_Click);
    connect(cmdCompose_, &QPushButton::clicked, this, &frmMail::cmdCompose_Click);
    connect(cmdDueDateDone_, &QPushButton::clicked, this, &frmMail::cmdDueDateDone_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmMail::cmdHelp_Click);

    auto* lists = new QGridLayout;
    const struct {
        const char* caption;
        QWidget* control;
    } rows[] = {{"From:", cbxFrom_}, {"Subject:", cbxSubject_}, {"Msg:", cbxBodyText_}};
    int r = 0;
    for (const auto& row : rows) {
        auto* label = new QLabel(QString::fromLatin1(row.caption), this);
        label->setBuddy(row.control);
        lists->addWidget(label, r, 0);
        lists->addWidget(row.control, r++, 1);
    }
    lists->setColumnStretch(1, 1);
    auto* options = new QVBoxLayout;
    options->addWidget(chkAddDueDate_);
    options->addWidget(chkAddFN_);
    options->addWidget(frame);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* push : {cmdSendMail_, cmdCompose_, cmdDueDateDone_, cmdHelp_})
        buttons->addWidget(push);
    buttons->addStretch();
    auto* lower = new QHBoxLayout;
    lower->addLayout(lists, 3);
    lower->addLayout(options, 2);
    lower->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dtSendMail_, 1);
    layout->addLayout(lower);
}

void frmMail::Form_Load() {
    if (core::gOptions)
        core::gOptions->ActiveForm = this;
    setGeometry(platform::ui::Twips::rect(0, 0, kWidthTwips, kHeightTwips));
    const bool compose = flag(QStringLiteral("EmailCompose"));
    cmdCompose_->setVisible(compose);
    cmdCompose_->setEnabled(compose);
    chkAddDueDate_->setChecked(flag(QStringLiteral("AddDueDate")));
    chkAddFN_->setChecked(flag(QStringLiteral("AddFN")));
    chkDueDateAll_->setChecked(flag(QStringLiteral("SetDueDateAll")));
    FillSendMailGrid();
    FillMailLists();
}

void frmMail::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    auto value = [](const QCheckBox* box) {
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    };
    writeRuntimeSetting(QStringLiteral("AddDueDate"), value(chkAddDueDate_));
    writeRuntimeSetting(QStringLiteral("AddFN"), value(chkAddFN_));
    writeRuntimeSetting(QStringLiteral("SetDueDateAll"), value(chkDueDateAll_));
    if (core::gOptions && core::gOptions->ActiveForm == this)
        core::gOptions->ActiveForm = nullptr;
    // Unloaded: no longer found by its form name, even before it is destroyed.
    setObjectName(QString());
    if (gLoaded == this)
        gLoaded = nullptr;
}

void frmMail::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

bool frmMail::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tbxDueDate_ && event->type() == QEvent::MouseButtonRelease)
        tbxDueDate_Click();
    return QWidget::eventFilter(watched, event);
}

void frmMail::setDueDate(const QDate& date) {
    dueDate_ = date;
    tbxDueDate_->setText(dueDateText(date));
}

// The context budget's built user files of selected worksheets, each with the user-file row
// of the same name in that budget (the one of the same master workbook first).
void frmMail::FillSendMailGrid() {
    trapped([this] {
        dtSendMail_->resetRows();
        const QString context = budgetContext();
        if (context.isEmpty())
            return;
        core::cDB2 query;
        query.SetConnection();
        platform::db::Connection& cnn = query.Cnn();
        Recordset sheets =
            Recordset::open(cnn,
                            QStringLiteral("SELECT User_Filename, UFNPath, Master_File FROM Worksheets "
                                           "WHERE Select_By_User = 1 AND UF_Create_Date IS NOT NULL "
                                           "AND Budget_Name = ? COLLATE NOCASE_U ORDER BY ID_Worksheets"),
                            {context});
        for (; !sheets.eof(); sheets.moveNext()) {
            const QString file = sheets.value(0).toString();
            const QString master = sheets.value(2).toString();
            Recordset userFile = Recordset::open(
                cnn,
                QStringLiteral(
                    "SELECT Select_By_User, Users, Attachment, Due_Date, ID_UFTD FROM UserFileTablesData "
                    "WHERE User_Filename = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U "
                    "ORDER BY (Master_File = ? COLLATE NOCASE_U) DESC, ID_UFTD LIMIT 1"),
                {file, context, master});
            if (userFile.eof())
                continue;
            dtSendMail_->appendRow({userFile.value(0).toInt() ? 1 : 0, userFile.value(1).toString(), file,
                                    userFile.value(2).toInt() ? 1 : 0,
                                    dueDateText(storedDueDate(userFile.value(3))), sheets.value(1).toString(),
                                    master, userFile.value(4)});
        }
    });
}

void frmMail::FillMailLists() {
    trapped([this] {
        cbxFrom_->clearEntries();
        cbxSubject_->clearEntries();
        cbxBodyText_->clearEntries();
        core::cDB2 query;
        query.SetConnection();
        platform::db::Connection& cnn = query.Cnn();
        for (Recordset admin = Recordset::open(cnn, QStringLiteral("SELECT Admin_Name, Admin_Email_Address, "
                                                                   "Mail_Server, Pop3_Account FROM Admin"));
             !admin.eof(); admin.moveNext()) {
            cbxFrom_->addEntry(
                admin.value(0).toString(),
                {admin.value(1).toString(), admin.value(2).toString(), admin.value(3).toString()});
        }
        for (Recordset subject = Recordset::open(cnn, QStringLiteral("SELECT Subject FROM Subject"));
             !subject.eof(); subject.moveNext())
            cbxSubject_->addEntry(subject.value(0).toString());
        for (Recordset body = Recordset::open(cnn, QStringLiteral("SELECT Body_Text FROM BodyText"));
             !body.eof(); body.moveNext())
            cbxBodyText_->addEntry(body.value(0).toString());
        // Nothing is chosen after filling.
        for (platform::ui::ComboList* combo : {cbxFrom_, cbxSubject_, cbxBodyText_}) {
            const QSignalBlocker quiet(combo);
            combo->setListIndex(-1);
        }
    });
}

void frmMail::cmdSendMail_Click() {
    SendMailToAll(*this);
}

void frmMail::cmdCompose_Click() {
    SendMailForCurrentRow(*this);
}

void frmMail::cmdDueDateDone_Click() {
    close();
}

void frmMail::cmdHelp_Click() {
    platform::ui::showHelpPage(kFormName);
}

void frmMail::tbxDueDate_Click() {
    frmCalendar::show(this);
}

// Only "Mail File" edits are stored; "Send" ticks live in the grid alone.
void frmMail::dtSendMail_Change(int row, int column) {
    if (column != kMailFile)
        return;
    trapped([&] {
        const bool attach = dtSendMail_->cellValue(row, kMailFile).toInt() != 0;
        const QString file = dtSendMail_->cellText(row, kUserFilename);
        core::cDB2 query;
        query.SetConnection();
        const qint64 changed = query.Cnn().execute(
            QStringLiteral("UPDATE UserFileTablesData SET Attachment = ? WHERE ID_UFTD = ?"),
            {attach ? 1 : 0, dtSendMail_->cellValue(row, kUserFileId)});
        if (changed != 1) {
            // The row is gone meanwhile: the cell shows what is stored, not what was wished.
            const QSignalBlocker quiet(dtSendMail_);
            dtSendMail_->setCellValue(row, kMailFile, attach ? 0 : 1);
            tell(QStringLiteral("The user file ") + file +
                 QStringLiteral(" is no longer in the budget; its Mail File setting was not saved."));
        }
    });
}

void frmMail::dtSendMail_HeadingClick(int column) {
    switch (column) {
    case kSend:
        toggleSendColumn();
        break;
    case kMailFile:
        toggleMailFileColumn();
        break;
    case kDueDate:
        writeRuntimeSetting(QStringLiteral("RefreshDataTable"), QStringLiteral("1"));
        ResetMailStatus();
        break;
    default:
        break;
    }
}

// Both toggles start unticked, so the first click clears every row and the next ticks all.
void frmMail::toggleSendColumn() {
    const bool tick = chkAllSendWS_->isChecked();
    const QSignalBlocker quiet(dtSendMail_);
    for (int row = 0; row < dtSendMail_->rowCount(); ++row)
        dtSendMail_->setCellValue(row, kSend, tick ? 1 : 0);
    chkAllSendWS_->setChecked(!tick);
}

void frmMail::toggleMailFileColumn() {
    const QString context = budgetContext();
    if (context.isEmpty())
        return;
    trapped([&] {
        const bool attach = chkMailAll_->isChecked();
        core::cDB2 query;
        query.SetConnection();
        query.Cnn().execute(
            QStringLiteral(
                "UPDATE UserFileTablesData SET Attachment = ? WHERE Budget_Name = ? COLLATE NOCASE_U"),
            {attach ? 1 : 0, context});
        chkMailAll_->setChecked(!attach);
    });
    FillSendMailGrid();
}

} // namespace mail
