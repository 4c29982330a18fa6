// Test fixture for the budget-record, print, find and workbook-opening tests: a private copy
// of the built master database (MasterDbFixture) with small helpers to put rows in and read
// them back.
#pragma once

#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"

#include <QStringList>
#include <QVariantList>
#include <ostream>

namespace lumidesktest {

class BudgetRowsFixture : public coretest::MasterDbFixture {
protected:
    void exec(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        cnn.execute(sql, params);
    }

    void addBudget(const QString& name, const QString& author = {}) {
        exec(QStringLiteral("INSERT INTO Budgets (Budget_Name, Active, Admin_Name) VALUES (?, 1, ?)"),
             {name, author});
    }

    // Every row of a query, its columns joined by "|" (Null as "<null>"), in the query's order.
    QStringList rows(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset rst = platform::db::Recordset::open(cnn, sql, params);
        QStringList result;
        for (; !rst.eof(); rst.moveNext()) {
            QStringList cells;
            for (int i = 0; i < rst.fieldCount(); ++i)
                cells << (rst.isNull(i) ? QStringLiteral("<null>") : rst.value(i).toString());
            result << cells.join(QLatin1Char('|'));
        }
        return result;
    }

    // The budget names of every table that refers to budgets, table by table.
    QStringList budgetNamesEverywhere() {
        QStringList result;
        for (const char* table : {"Budgets", "MasterFiles", "Worksheets", "UserFileTablesData", "Errors"})
            result << QString::fromLatin1(table) + QStringLiteral(": ") +
                          rows(QStringLiteral("SELECT Budget_Name FROM ") + QString::fromLatin1(table) +
                               QStringLiteral(" WHERE Budget_Name IS NOT NULL AND Budget_Name <> "
                                              "'<Dummy record>' ORDER BY 1"))
                              .join(QStringLiteral(", "));
        return result;
    }
};

} // namespace lumidesktest

// Readable texts in failure messages (the same printers as the Explorer's fixture).
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(" | ")).toStdString() << ']';
}
QT_END_NAMESPACE
