// Plain descriptions of tables and columns: what a schema listing returns and what
// createTable and addColumn take. Column types follow the project's convention:
//   Text      VARCHAR(n) with CHECK (length(col) <= n)
//   YesNo     YESNO, INTEGER 0/1, NOT NULL DEFAULT 0
//   Date      DATETIME, ISO text "yyyy-MM-dd HH:mm:ss"
//   Long      INTEGER
//   Double    REAL
//   Memo      TEXT
//   AutoNumber INTEGER PRIMARY KEY AUTOINCREMENT
#pragma once

#include <QList>
#include <QString>

namespace platform::db {

enum class ColumnKind { AutoNumber, Text, Long, Double, YesNo, Date, Memo };

// A column to create.
struct ColumnSpec {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int size = 255;          // Text only: the most characters the column holds
    bool nullable = true;    // AutoNumber and YesNo columns are never Null
    bool primaryKey = false; // a primary key on a column other than the AutoNumber one

    static ColumnSpec autoNumber(const QString& name) {
        return {name, ColumnKind::AutoNumber, 0, false, true};
    }
    static ColumnSpec text(const QString& name, int size, bool nullable = true) {
        return {name, ColumnKind::Text, size, nullable, false};
    }
    static ColumnSpec longInt(const QString& name, bool nullable = true) {
        return {name, ColumnKind::Long, 0, nullable, false};
    }
    static ColumnSpec yesNo(const QString& name) { return {name, ColumnKind::YesNo, 0, false, false}; }
    static ColumnSpec date(const QString& name, bool nullable = true) {
        return {name, ColumnKind::Date, 0, nullable, false};
    }
    static ColumnSpec memo(const QString& name, bool nullable = true) {
        return {name, ColumnKind::Memo, 0, nullable, false};
    }
};

// A column as the schema listing reports it.
struct ColumnInfo {
    QString name;
    QString declaredType; // as written in the table's definition, e.g. "VARCHAR(50)", "YESNO"
    int size = 0;         // the n of VARCHAR(n)/CHAR(n)/TEXT(n); 0 when the type has no size
    bool nullable = true;
    bool autoIncrement = false; // INTEGER PRIMARY KEY AUTOINCREMENT
    bool primaryKey = false;
};

enum class TableType { Table, View };

struct TableInfo {
    QString name;
    TableType type = TableType::Table;
    QList<ColumnInfo> columns; // in the table's order

    // The column of that name (compared without regard to case), or -1.
    int columnIndex(const QString& column) const;
};

} // namespace platform::db
