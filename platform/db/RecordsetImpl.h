// Internal: the state of a recordset, shared by its three source files: Recordset.cpp (the
// public operations: fields, moves, edits), RecordsetOpen.cpp (running the query and taking
// its rows) and RecordsetWrite.cpp (writing rows back to their tables).
//
// Row identity. Each row of the snapshot remembers, for every table it can be written to,
// the engine's row id and the row image: every column of that table as it was read, not
// only those the query shows. A row id alone does not name a row for long: compaction
// renumbers the rows of tables without an integer key, and a restore brings back a file
// whose row ids mean other rows. The image does: a write or a deletion changes the row
// whose every column still holds what was read, found by its row id or, when that has
// moved, by the image alone; when no such row is left it is refused as a conflict.
#pragma once

#include "platform/db/ConnectionState.h"
#include "platform/db/Recordset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <map>
#include <optional>
#include <vector>

namespace platform::db {

struct Recordset::Impl {
    struct BaseTable {
        QString name;
        QString qualifier;
        bool writable = false;
        QStringList columns; // every column of the table, in its order: what a row image holds
    };
    struct Row {
        QVariantList values;
        std::vector<std::optional<qint64>> keys; // the row id in each base table
        std::vector<QVariantList> images;        // every column of each base table as read
        bool deleted = false;
    };

    std::shared_ptr<ConnectionState> connection;
    QList<Field> fields;
    QList<int> fieldTable; // index into tables, -1 for an expression
    QList<BaseTable> tables;
    QString readOnlyReason;
    std::vector<Row> rows;
    qsizetype pos = 0; // -1 before the first row, rows.size() after the last
    std::map<int, QVariant> edits;
    bool adding = false;
    qsizetype posBeforeAdd = 0;
    // Rows marked deleted, kept so that the number of live rows is known without a count: the
    // end-of-rows test asks for it at every move.
    qsizetype deletedCount = 0;

    qsizetype size() const { return static_cast<qsizetype>(rows.size()); }
    int liveCount() const { return static_cast<int>(size() - deletedCount); }
    // A deleted row stays current until the next move: there the recordset is at neither end,
    // even when it was the last row left.
    bool onDeletedRow() const { return pos >= 0 && pos < size() && rows[pos].deleted; }
    bool bof() const { return pos < 0 || (liveCount() == 0 && !onDeletedRow()); }
    bool eof() const { return pos >= size() || (liveCount() == 0 && !onDeletedRow()); }
    qsizetype nextLive(qsizetype from) const;
    qsizetype previousLive(qsizetype from) const;

    Row& current();
    int checkedIndex(int index) const;
    int indexOf(const QString& name) const;
    int checkedName(const QString& name) const;
    void checkWritable(int index) const;
    void checkAnyWritable() const;

    // Writing back (RecordsetWrite.cpp).
    void save();
    void savePending() {
        if (adding || !edits.empty())
            save();
    }
    void deleteRow(Row& row);
    DbError conflict(int table) const;

private:
    std::vector<std::pair<QString, QVariant>> editsOf(int table) const;
    DbError explain(const DbError& failure, int table) const;
    void insertRow(sqlite3* db, int table, Row& row);
    void updateRow(sqlite3* db, int table, Row& row);
    qint64 writeByIdentity(sqlite3* db, int table, Row& row, const QString& head, const QVariantList& params);
    void dropMissingColumns(sqlite3* db, int table, Row& row);
    void refresh(sqlite3* db, int table, Row& row) const;
};

} // namespace platform::db
