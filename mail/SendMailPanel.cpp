// See SendMailPanel.h.
#include "mail/SendMailPanel.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "lumistore/cClean.h"
#include "mail/DueDates.h"
#include "mail/MailContext.h"
#include "mail/SendMail.h"
#include "mail/frmCalendar.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/NamedControls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace mail {

using platform::db::Recordset;
using platform::ui::ColumnKind;
using platform::ui::DataGridColumn;

namespace {

QList<QPointer<SendMailPanel>>& panels() {
    static QList<QPointer<SendMailPanel>> loaded;
    return loaded;
}

// Runs a handler's work; an error is shown in the program's message and the panel stays. The
// box bears the edition's application title unless the handler names its own.
template <typename Work> void trapped(Work&& work, const QString& title = core::applicationTitle()) {
    try {
        work();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, title);
    }
}

platform::ui::ComboList* list(QWidget* parent, const QString& name, const QString& tip) {
    auto* combo = new platform::ui::ComboList(parent, platform::ui::ComboList::Style::DropDownList);
    combo->setObjectName(name);
    combo->setToolTip(tip);
    return combo;
}

DataGridColumn column(const QString& heading, int width, ColumnKind kind = ColumnKind::Text,
                      bool editable = false) {
    DataGridColumn c;
    c.heading = heading;
    c.widthTwips = width;
    c.kind = kind;
    c.editable = editable;
    return c;
}

struct Captions {
    const char* gridTip;
    const char* addDueDate;
    const char* addFilename;
    const char* allSend;
    const char* mailAll;
};
const Captions kDesktopCaptions{"Double click column headers to select/unselect ALL.",
                                "Add Due Date to Subject", "Add Filename to Msg", "Select All", "Mail All"};
const Captions kAddInCaptions{"Send email to this list.", "Add Due Date", "Add Filename", "All",
                              "Mail All Files"};

} // namespace

SendMailPanel::SendMailPanel(Edition edition, QWidget* parent)
    : QWidget(parent)
    , edition_(edition) {
    setObjectName(QStringLiteral("SendMailPanel"));
    buildControls(edition);
    const bool compose = runtimeFlag(QStringLiteral("EmailCompose"));
    cmdCompose_->setVisible(compose);
    cmdCompose_->setEnabled(compose);
    panels().append(this);
}

SendMailPanel::~SendMailPanel() {
    panels().removeAll(this);
}

QList<SendMailPanel*> SendMailPanel::loadedPanels() {
    QList<SendMailPanel*> loaded;
    for (const QPointer<SendMailPanel>& panel : panels())
        if (panel)
            loaded << panel.data();
    return loaded;
}

void SendMailPanel::buildControls(Edition edition) {
    const Captions& captions = edition == Edition::AddIn ? kAddInCaptions : kDesktopCaptions;
    const auto caption = [](const char* text) { return QString::fromLatin1(text); };
    dtSendMail_ = new platform::ui::EditGrid(this);
    dtSendMail_->setObjectName(QStringLiteral("dtSendMail"));
    dtSendMail_->setToolTip(caption(captions.gridTip));
    DataGridColumn id = column(QStringLiteral("ID_UFTD"), 600);
    id.hidden = true;
    dtSendMail_->setColumns(
        {column(QStringLiteral("Send"), 600, ColumnKind::Check, true), column(QStringLiteral("User"), 1500),
         column(QStringLiteral("User Filename"), 2000),
         column(QStringLiteral("Mail File"), 800, ColumnKind::Check, true),
         column(QStringLiteral("Due Date"), 1100), column(QStringLiteral("User File Path"), 3600),
         column(QStringLiteral("Master File"), 1800), id});
    dtSendMail_->setChangeProcedure([this](int row, int col) { dtSendMail_Change(row, col); });
    dtSendMail_->setFitsToContents(true); // dates and paths are shown whole
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
    connect(cbxBodyText_, &platform::ui::ComboList::changed, this, &SendMailPanel::cbxBodyText_Change);
    tbxBodyText_ = new QPlainTextEdit(this);
    tbxBodyText_->setObjectName(QStringLiteral("tbxBodyText"));
    tbxBodyText_->setReadOnly(true);
    tbxBodyText_->hide();
    chkAddDueDate_ = platform::ui::namedControl<QCheckBox>(
        this, QStringLiteral("chkAddDueDate"), caption(captions.addDueDate),
        QStringLiteral("This appends the Due Date to the Subject."));
    chkAddFN_ = platform::ui::namedControl<QCheckBox>(
        this, QStringLiteral("chkAddFN"), caption(captions.addFilename),
        QStringLiteral("This appends the User Filename to the body text."));
    chkAllSendWS_ = platform::ui::namedControl<QCheckBox>(this, QStringLiteral("chkAllSendWS"),
                                                          caption(captions.allSend));
    chkMailAll_ =
        platform::ui::namedControl<QCheckBox>(this, QStringLiteral("chkMailAll"), caption(captions.mailAll));
    connect(chkMailAll_, &QCheckBox::clicked, this, &SendMailPanel::chkMailAll_Click);
    // The desktop window keeps the two headings' states out of sight.
    chkAllSendWS_->setVisible(edition == Edition::AddIn);
    chkMailAll_->setVisible(edition == Edition::AddIn);

    auto* frame = new QGroupBox(QStringLiteral("Set Due Date"), this);
    frame->setObjectName(edition == Edition::AddIn ? QStringLiteral("Frame1") : QStringLiteral("fmeDueDate"));
    tbxDueDate_ = new QLineEdit(frame);
    tbxDueDate_->setObjectName(QStringLiteral("tbxDueDate"));
    tbxDueDate_->setReadOnly(true);
    tbxDueDate_->setPlaceholderText(QStringLiteral("Click to pick"));
    if (edition == Edition::AddIn)
        tbxDueDate_->setToolTip(QStringLiteral("Enter a budget cycle \"Due Date\"."));
    tbxDueDate_->installEventFilter(this);
    chkDueDateAll_ =
        platform::ui::namedControl<QCheckBox>(frame, QStringLiteral("chkDueDateAll"), QStringLiteral("All"));
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(tbxDueDate_);
    frameLayout->addWidget(chkDueDateAll_);

    cmdCompose_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdCompose"),
                                                          QStringLiteral("Compose"));
    connect(cmdCompose_, &QPushButton::clicked, this, &SendMailPanel::cmdCompose_Click);

    auto* lists = new QGridLayout;
    int r = 0;
    if (edition == Edition::AddIn) {
        // The recipients are the grid's users.
        lists->addWidget(
            platform::ui::namedControl<QLabel>(this, QStringLiteral("lblTo"), QStringLiteral("To:")), r, 0);
        lists->addWidget(new QLabel(QStringLiteral("the users of the ticked rows"), this), r++, 1);
    }
    const struct {
        const char* name;
        const char* caption;
        QWidget* control;
    } rows[] = {
        {"Label1", "From:", cbxFrom_}, {"Label2", "Subject:", cbxSubject_}, {"Label3", "Msg:", cbxBodyText_}};
    for (const auto& row : rows) {
        auto* label = platform::ui::namedControl<QLabel>(this, QString::fromLatin1(row.name),
                                                         QString::fromLatin1(row.caption));
        label->setBuddy(row.control);
        lists->addWidget(label, r, 0);
        lists->addWidget(row.control, r++, 1);
    }
    lists->addWidget(tbxBodyText_, r, 1);
    lists->setColumnStretch(1, 1);
    auto* options = new QVBoxLayout;
    for (QWidget* box : {static_cast<QWidget*>(chkAddDueDate_), static_cast<QWidget*>(chkAddFN_),
                         static_cast<QWidget*>(frame), static_cast<QWidget*>(chkAllSendWS_),
                         static_cast<QWidget*>(chkMailAll_), static_cast<QWidget*>(cmdCompose_)})
        options->addWidget(box);
    options->addStretch();
    auto* lower = new QHBoxLayout;
    lower->addLayout(lists, 3);
    lower->addLayout(options, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(dtSendMail_, 1);
    layout->addLayout(lower);
}

bool SendMailPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tbxDueDate_ && event->type() == QEvent::MouseButtonRelease)
        tbxDueDate_Click();
    return QWidget::eventFilter(watched, event);
}

void SendMailPanel::setDueDate(const QDate& date) {
    dueDate_ = date;
    tbxDueDate_->setText(dueDateText(date));
}

// The context budget's built user files of selected worksheets (of the master file, when one
// is set), each with the user-file row of the same name in that budget (the one of the same
// master workbook first).
void SendMailPanel::FillSendMailGrid() {
    // Its failure bears the programs' message title ("LumivaneXL" in the add-in).
    trapped(
        [this] {
            dtSendMail_->resetRows();
            const QString context = budgetContext();
            if (context.isEmpty())
                return;
            core::cDB2 query;
            query.SetConnection();
            platform::db::Connection& cnn = query.Cnn();
            Recordset sheets = Recordset::open(
                cnn,
                QStringLiteral(
                    "SELECT User_Filename, UFNPath, Master_File FROM Worksheets "
                    "WHERE Select_By_User = 1 AND UF_Create_Date IS NOT NULL "
                    "AND Budget_Name = ? COLLATE NOCASE_U AND (? = '' OR Master_File = ? COLLATE NOCASE_U) "
                    "ORDER BY ID_Worksheets"),
                {context, masterFile_, masterFile_});
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
                                        dueDateText(storedDueDate(userFile.value(3))),
                                        sheets.value(1).toString(), master, userFile.value(4)});
            }
        },
        core::appTitle());
    showMailAllState();
}

void SendMailPanel::FillMailLists() {
    trapped([this] {
        cbxFrom_->clearEntries();
        cbxSubject_->clearEntries();
        cbxBodyText_->clearEntries();
        core::cDB2 query;
        query.SetConnection();
        platform::db::Connection& cnn = query.Cnn();
        int defaultAuthor = -1;
        int defaultAuthors = 0;
        for (Recordset admin = Recordset::open(
                 cnn, QStringLiteral("SELECT Admin_Name, Admin_Email_Address, Mail_Server, Pop3_Account, "
                                     "\"Default\" = 1 AND RecType = 'Author' COLLATE NOCASE_U FROM Admin"));
             !admin.eof(); admin.moveNext()) {
            const QString name = admin.value(0).toString();
            if (admin.value(4).toInt() != 0 && name != platform::sys::kPlaceholderText) {
                defaultAuthor = cbxFrom_->entryCount();
                ++defaultAuthors;
            }
            cbxFrom_->addEntry(
                name, {admin.value(1).toString(), admin.value(2).toString(), admin.value(3).toString()});
        }
        for (Recordset subject = Recordset::open(cnn, QStringLiteral("SELECT Subject FROM Subject"));
             !subject.eof(); subject.moveNext())
            cbxSubject_->addEntry(subject.value(0).toString());
        for (Recordset body = Recordset::open(cnn, QStringLiteral("SELECT Body_Text FROM BodyText"));
             !body.eof(); body.moveNext())
            cbxBodyText_->addEntry(body.value(0).toString());
        // Nothing is chosen after filling but the default author, when there is exactly one, as
        // the sender: a placeholder row is never chosen.
        for (platform::ui::ComboList* combo : {cbxFrom_, cbxSubject_, cbxBodyText_}) {
            const QSignalBlocker quiet(combo);
            combo->setListIndex(combo == cbxFrom_ && defaultAuthors == 1 ? defaultAuthor : -1);
        }
        tbxBodyText_->hide();
    });
}

void SendMailPanel::cmdCompose_Click() {
    SendMailForCurrentRow(*this);
}

void SendMailPanel::tbxDueDate_Click() {
    frmCalendar::show(this);
}

void SendMailPanel::cbxBodyText_Change() {
    const QString body = cbxBodyText_->text();
    const bool whole = edition_ == Edition::AddIn && body.size() > kShortBodyLength;
    tbxBodyText_->setPlainText(whole ? body : QString());
    tbxBodyText_->setVisible(whole);
}

// Only "Mail File" edits are stored; "Send" ticks live in the grid alone.
void SendMailPanel::dtSendMail_Change(int row, int column) {
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
    showMailAllState();
}

void SendMailPanel::dtSendMail_HeadingClick(int column) {
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

// The "All" box says what the next click does: ticked, it ticks every row; cleared, it clears them.
void SendMailPanel::toggleSendColumn() {
    const bool tick = chkAllSendWS_->isChecked();
    const QSignalBlocker quiet(dtSendMail_);
    for (int row = 0; row < dtSendMail_->rowCount(); ++row)
        dtSendMail_->setCellValue(row, kSend, tick ? 1 : 0);
    chkAllSendWS_->setChecked(!tick);
}

// Every user file of the budget, also those of its other master workbooks: cleared when every
// listed row goes with its file, else set.
void SendMailPanel::toggleMailFileColumn() {
    const QString context = budgetContext();
    if (context.isEmpty())
        return;
    trapped([&] {
        const bool attach = !chkMailAll_->isChecked();
        core::cDB2 query;
        query.SetConnection();
        query.Cnn().execute(
            QStringLiteral(
                "UPDATE UserFileTablesData SET Attachment = ? WHERE Budget_Name = ? COLLATE NOCASE_U"),
            {attach ? 1 : 0, context});
    });
    FillSendMailGrid();
}

// The box's new state goes to every listed row, each stored by its key; a row gone meanwhile
// keeps what is stored.
void SendMailPanel::chkMailAll_Click() {
    const bool attach = chkMailAll_->isChecked();
    trapped([&] {
        core::cDB2 query;
        query.SetConnection();
        const QSignalBlocker quiet(dtSendMail_);
        for (int row = 0; row < dtSendMail_->rowCount(); ++row) {
            const qint64 changed = query.Cnn().execute(
                QStringLiteral("UPDATE UserFileTablesData SET Attachment = ? WHERE ID_UFTD = ?"),
                {attach ? 1 : 0, dtSendMail_->cellValue(row, kUserFileId)});
            if (changed == 1)
                dtSendMail_->setCellValue(row, kMailFile, attach ? 1 : 0);
        }
    });
    showMailAllState();
}

void SendMailPanel::showMailAllState() {
    bool all = dtSendMail_->rowCount() > 0;
    for (int row = 0; all && row < dtSendMail_->rowCount(); ++row)
        all = dtSendMail_->cellValue(row, kMailFile).toInt() != 0;
    chkMailAll_->setChecked(all);
}

} // namespace mail
