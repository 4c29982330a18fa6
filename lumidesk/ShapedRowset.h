// The rows of a hierarchical command of a data environment: one level of rows with its
// field names, each row carrying the rows of the next level that belong to it. The
// Budgets Explorer's tree walks budgets > master workbooks > worksheets this way, the file
// system view master workbooks > worksheets > user files.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <vector>

namespace lumidesk {

struct ShapedRow;

struct ShapedRowset {
    QString member; // the command or child member the rows come from, e.g. "WorksheetsView"
    QStringList fields;
    std::vector<ShapedRow> rows;

    // The index of a field (any case), -1 when there is none.
    int fieldIndex(const QString& name) const;
    bool empty() const { return rows.empty(); }
};

struct ShapedRow {
    QVariantList values; // in the order of the rowset's fields
    ShapedRowset children;

    QVariant value(const ShapedRowset& owner, const QString& field) const;
};

} // namespace lumidesk
