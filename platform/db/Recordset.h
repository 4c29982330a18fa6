// A recordset: a client-side snapshot of the rows of a query, with a current row, moves,
// BOF/EOF, and edits written back to the tables the rows came from.
//
// Fields are found by index or by name (without regard to case); Null is an invalid QVariant,
// distinct from "". Integers read as qint64, reals as double, text as QString, blobs as
// QByteArray; dates are stored as text "yyyy-MM-dd HH:mm:ss" and read as that text.
//
// Writing back: each field that comes straight from a column of a table is written to that
// table, to the very row it was read from, with the optimistic check: that row must still
// hold every value it was read with (the columns the query does not show included), else
// kRowConflict is thrown and nothing is written. The row is known again after another
// connection compacted or restored the database, which renumbers rows. A query over a join
// writes each changed column to its own table. Queries whose rows do not map back to single
// table rows (DISTINCT, GROUP BY, aggregates, UNION, views) give a read-only recordset whose
// writes throw kReadOnly; so do fields computed by an expression.
//
// Moves and edits follow the habits of the program's callers: a deleted row stays current
// until the next move and is skipped by moves; moving away from a row with unsaved edits
// saves them first.
#pragma once

#include "platform/db/Connection.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>

namespace platform::db {

class Recordset {
public:
    // AbsolutePosition when there is no current row.
    static constexpr int kPosUnknown = -1;
    static constexpr int kPosBof = -2;
    static constexpr int kPosEof = -3;

    struct Field {
        QString name;         // the name the query gives the column
        QString baseTable;    // the table it is read from ("" for an expression)
        QString baseColumn;   // its column there
        QString declaredType; // the column's declared type ("" for an expression)
        int size = 0;         // the n of VARCHAR(n), else 0
    };

    // A closed recordset.
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Runs the query and takes its rows; positioned on the first row (or at EOF when none).
    static Recordset open(Connection& connection, const QString& sql, const QVariantList& params = {});
    // A recordset over the table's columns that only adds rows: it reads no row of the table.
    static Recordset forAppend(Connection& connection, const QString& table);

    bool isOpen() const;
    void close();
    bool isReadOnly() const;

    int fieldCount() const;
    const Field& field(int index) const;
    QString fieldName(int index) const;
    QStringList fieldNames() const;
    // Index of the field of that name (or "table.column"), -1 when there is none.
    int fieldIndex(const QString& name) const;

    // Values of the current row (kNoCurrentRow at BOF/EOF, kDeletedRow on a deleted row,
    // kItemNotFound for an unknown field).
    QVariant value(int index) const;
    QVariant value(const QString& name) const;
    bool isNull(int index) const;
    bool isNull(const QString& name) const;

    // Sets a field of the current row (or of the row being added); written by update().
    void setValue(int index, const QVariant& value);
    void setValue(const QString& name, const QVariant& value);

    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // Moves n rows forward (n < 0: back); past either end it stands at EOF or BOF.
    void move(int n);

    // Rows not deleted.
    int recordCount() const;
    // 1 for the first row, or kPosBof/kPosEof/kPosUnknown.
    int absolutePosition() const;
    // A mark of the current row that names it for as long as the recordset is open, whatever
    // moves, additions and deletions follow (kNoCurrentRow at BOF/EOF, kDeletedRow on a deleted
    // row, kInvalidOperation on a row being added and not yet written).
    int bookmark() const;
    // Makes the marked row current at once, however far away it is; the edits of the row left
    // are saved first, as by any move. kItemNotFound for a mark of no row, kDeletedRow when the
    // row has been deleted since.
    void moveToBookmark(int mark);

    // Starts a new row at the end and makes it current.
    void addNew();
    // Writes the new row or the edits of the current row.
    void update();
    // Drops the edits of the current row (and a new row not yet written).
    void cancelUpdate();
    // True while the current row has edits not yet written.
    bool editPending() const;
    // Deletes the current row from its table (with the optimistic check); it stays current,
    // marked deleted, until the next move.
    void deleteCurrent();

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

} // namespace platform::db
