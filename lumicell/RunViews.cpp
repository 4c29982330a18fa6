// See RunViews.h.
#include "lumicell/RunViews.h"

#include "core/ErrorMessage.h"
#include "core/RunTrapped.h"
#include "core/cDB3.h"
#include "core/cOptions.h"
#include "lumicell/AddIn.h"
#include "lumicell/AddInFolder.h"
#include "lumicell/frmRun.h"
#include "mail/SendMailPanel.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/DataGrid.h"

#include <QDir>
#include <QLocale>

namespace lumicell {

namespace {

using platform::db::Recordset;
using platform::ui::DataGridColumn;

struct ViewColumn {
    const char* heading;
    int widthTwips;
    const char* field;
};

struct View {
    QString name;
    std::vector<ViewColumn> columns;
    QString query;
};

const std::vector<View>& views() {
    static const std::vector<View> all{
        {QStringLiteral("Workbooks"),
         {{"Workbook Name", 1800, "Master_File"},
          {"Path", 2800, "Path"},
          {"Project Name", 1800, "Budget_Name"}},
         QStringLiteral(
             "SELECT Master_File, Path, Budget_Name FROM MasterFiles WHERE Master_File IS NOT NULL "
             "ORDER BY rowid")},
        {QStringLiteral("Templates"),
         {{"Template Name", 1800, "Template_Name"}, {"Path", 3800, "Template_Path"}},
         QStringLiteral("SELECT Template_Name, Template_Path FROM Templates WHERE Template_Name IS NOT NULL "
                        "ORDER BY rowid")},
        {QStringLiteral("User Files"),
         {{"User Filename", 1600, "User_Filename"},
          {"Path", 1800, "UFNPath"},
          {"Assigned User", 1600, "Users"},
          {"Master Workbook", 1600, "Master_File"},
          {"Project Name", 1600, "Budget_Name"}},
         // A user file's own assignment: the row of its name in its budget.
         QStringLiteral("SELECT w.User_Filename, w.UFNPath, u.Users, w.Master_File, w.Budget_Name "
                        "FROM Worksheets w INNER JOIN UserFileTablesData u "
                        "ON w.User_Filename = u.User_Filename COLLATE NOCASE_U "
                        "AND w.Budget_Name = u.Budget_Name COLLATE NOCASE_U "
                        "WHERE w.UF_Create_Date IS NOT NULL AND w.Select_By_User = 1 ORDER BY w.rowid")},
        {QStringLiteral("Projects"),
         {{"Project Name", 1600, "Budget_Name"},
          {"Create Date", 1600, "Budget_Date"},
          {"Master Workbook", 1600, "Master_File"},
          {"Date Added", 1600, "Process_Date"},
          {"Last Update", 1600, "MF_Modified_Date"}},
         QStringLiteral(
             "SELECT b.Budget_Name, b.Budget_Date, m.Master_File, m.Process_Date, m.MF_Modified_Date "
             "FROM Budgets b INNER JOIN MasterFiles m ON b.Budget_Name = m.Budget_Name COLLATE NOCASE_U "
             "ORDER BY b.Budget_Name, m.rowid")},
    };
    return all;
}

const View* viewNamed(const QString& name) {
    for (const View& view : views())
        if (view.name == name)
            return &view;
    return nullptr;
}

// A stored value as a cell shows it: Null as empty, a date in the user's short form.
QVariant shown(const QVariant& value) {
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        const QDateTime date = platform::db::parseDateTime(text);
        if (date.isValid() && text.size() >= 10 && text[4] == u'-')
            return QLocale().toString(date, QLocale::ShortFormat);
    }
    return value;
}

QVariant flag(const QVariant& value) {
    return value.toInt() != 0 ? 1 : 0;
}

// Runs a loader; a failure is shown with the add-in library's title and the rows appended so
// far stay.
template <typename Work> void trapped(Work&& work) {
    core::RunTrapped(std::forward<Work>(work), core::applicationTitle());
}

// The Templates table made again from the folder, in one transaction.
void rebuildTemplates(platform::db::Connection& cnn) {
    const QString folder = TemplatesFolder();
    platform::db::Transaction transaction(cnn);
    cnn.execute(QStringLiteral("DELETE FROM Templates"));
    for (const QString& file : GetFileList(folder))
        cnn.execute(QStringLiteral("INSERT INTO Templates (Template_Name, Template_Path) VALUES (?, ?)"),
                    {file, folder});
    transaction.commit();
}

QString context() {
    return core::gOptions ? core::gOptions->BudgetNameContext : QString();
}

QString masterFile() {
    return core::gOptions ? core::gOptions->MasterFilename : QString();
}

} // namespace

QStringList GetFileList(const QString& folder) {
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    QStringList workbooks;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        if (platform::sheet::Workbook::isWorkbookName(name))
            workbooks << name;
    return workbooks;
}

QString TemplatesFolder() {
    const QString folder =
        core::gOptions && !core::gOptions->AppPath.isEmpty() ? core::gOptions->AppPath : AddInFolder();
    return QDir(folder).filePath(QStringLiteral("Templates"));
}

void LoadTopDownView(platform::ui::DataGrid& grid, const QString& view) {
    grid.setColumns({});
    const View* chosen = viewNamed(view);
    if (!chosen)
        return;
    QList<DataGridColumn> columns;
    for (const ViewColumn& column : chosen->columns) {
        DataGridColumn made;
        made.heading = QString::fromLatin1(column.heading);
        made.widthTwips = column.widthTwips;
        made.editable = false;
        columns << made;
    }
    grid.setColumns(columns);
    grid.fitColumnsToHeadings();
    trapped([&] {
        core::cDB3 query;
        query.SetConnection();
        if (chosen->name == QLatin1String("Templates"))
            rebuildTemplates(query.Cnn());
        for (Recordset rows = Recordset::open(query.Cnn(), chosen->query); !rows.eof(); rows.moveNext()) {
            QVariantList values;
            for (int field = 0; field < int(chosen->columns.size()); ++field)
                values << shown(rows.value(field));
            grid.appendRow(values);
        }
    });
}

bool OpenTopDownRow(const platform::ui::DataGrid& grid, const QString& view, int row) {
    QString path;
    if (view.compare(QStringLiteral("Workbooks"), Qt::CaseInsensitive) == 0 ||
        view.compare(QStringLiteral("Templates"), Qt::CaseInsensitive) == 0)
        path = QDir(grid.cellText(row, 1)).filePath(grid.cellText(row, 0));
    else if (view.compare(QStringLiteral("User Files"), Qt::CaseInsensitive) == 0)
        path = grid.cellText(row, 1);
    platform::sheet::Application* app = gXLApp();
    if (path.isEmpty() || !app)
        return false;
    bool opened = false;
    trapped([&] {
        app->open(path);
        opened = true;
    });
    return opened;
}

void LoadRunStatusGrids(frmRun& form) {
    platform::ui::DataGrid& update = *form.dtUMW();
    platform::ui::DataGrid& status = *form.dtViewBS();
    update.resetRows();
    status.resetRows();
    trapped([&] {
        core::cDB3 query;
        query.SetConnection();
        platform::db::Connection& cnn = query.Cnn();
        Recordset last = Recordset::open(
            cnn,
            QStringLiteral("SELECT MF_Modified_Date FROM MasterFiles WHERE Master_File = ? COLLATE NOCASE_U "
                           "AND Budget_Name = ? COLLATE NOCASE_U"),
            {masterFile(), context()});
        if (last.recordCount() == 1 && !last.value(0).toString().isEmpty())
            core::gOptions->LastUpdate = shown(last.value(0)).toString();

        Recordset sheets = Recordset::open(
            cnn,
            QStringLiteral("SELECT w.Worksheet_Name, w.UFNPath, w.UF_Modified_Date, w.File_Missing, "
                           "u.User_Filename, u.Users, u.Select_By_User, u.Folder_Name, u.Email_Sent, "
                           "u.UserFile_Update, u.Due_Date FROM Worksheets w INNER JOIN UserFileTablesData u "
                           "ON u.ID_UFTD = (SELECT ID_UFTD FROM UserFileTablesData x "
                           "WHERE x.User_Filename = w.User_Filename COLLATE NOCASE_U "
                           "AND x.Budget_Name = w.Budget_Name COLLATE NOCASE_U ORDER BY ID_UFTD LIMIT 1) "
                           "WHERE w.Select_By_User = 1 AND w.UF_Create_Date IS NOT NULL "
                           "AND w.Master_File = ? COLLATE NOCASE_U AND w.Budget_Name = ? COLLATE NOCASE_U "
                           "ORDER BY w.rowid"),
            {masterFile(), context()});
        for (; !sheets.eof(); sheets.moveNext()) {
            const auto field = [&](const char* name) { return sheets.value(QString::fromLatin1(name)); };
            if (!field("Users").toString().isEmpty())
                update.appendRow({flag(field("Select_By_User")), shown(field("Worksheet_Name")),
                                  shown(field("Users")), shown(field("Folder_Name")), shown(field("UFNPath")),
                                  shown(field("UF_Modified_Date"))});
            status.appendRow({shown(field("User_Filename")), shown(field("Users")),
                              flag(field("Select_By_User")), shown(field("Email_Sent")),
                              flag(field("UserFile_Update")), shown(field("Due_Date")),
                              flag(field("File_Missing"))});
        }
    });
}

void FillSendMailGridXL(frmRun& form) {
    mail::SendMailPanel& panel = *form.sendMail();
    panel.setMasterFile(masterFile());
    panel.FillSendMailGrid();
}

} // namespace lumicell
