// The public operations of a recordset: fields, values, moves and edits; see Recordset.h.
// Running the query is in RecordsetOpen.cpp, writing rows back in RecordsetWrite.cpp.
#include "platform/db/Recordset.h"

#include "platform/db/DbError.h"
#include "platform/db/RecordsetImpl.h"

#include <algorithm>

namespace platform::db {

namespace {

DbError noCurrentRow() {
    return DbError(DbError::kNoCurrentRow,
                   QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

DbError itemNotFound(const QString& item) {
    return DbError(DbError::kItemNotFound,
                   QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                  "name or ordinal (") +
                       item + QStringLiteral(")."));
}

} // namespace

qsizetype Recordset::Impl::nextLive(qsizetype from) const {
    for (qsizetype i = from + 1; i < size(); ++i) {
        if (!rows[i].deleted)
            return i;
    }
    return size();
}

qsizetype Recordset::Impl::previousLive(qsizetype from) const {
    for (qsizetype i = std::min(from, size()) - 1; i >= 0; --i) {
        if (!rows[i].deleted)
            return i;
    }
    return -1;
}

Recordset::Impl::Row& Recordset::Impl::current() {
    if (pos < 0 || pos >= size())
        throw noCurrentRow();
    if (rows[pos].deleted)
        throw DbError(DbError::kDeletedRow, QStringLiteral("The current row has been deleted."));
    return rows[pos];
}

int Recordset::Impl::checkedIndex(int index) const {
    if (index < 0 || index >= fields.size())
        throw itemNotFound(QString::number(index));
    return index;
}

int Recordset::Impl::indexOf(const QString& name) const {
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    for (int i = 0; i < fields.size(); ++i) {
        const QString qualified = fields[i].baseTable + QLatin1Char('.') + fields[i].baseColumn;
        if (!fields[i].baseTable.isEmpty() && qualified.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int Recordset::Impl::checkedName(const QString& name) const {
    const int index = indexOf(name);
    if (index < 0)
        throw itemNotFound(name);
    return index;
}

void Recordset::Impl::checkWritable(int index) const {
    checkAnyWritable();
    const int table = fieldTable[index];
    if (table < 0 || !tables[table].writable) {
        throw DbError(DbError::kReadOnly, QStringLiteral("The field '") + fields[index].name +
                                              QStringLiteral("' cannot be updated."));
    }
}

void Recordset::Impl::checkAnyWritable() const {
    if (!readOnlyReason.isEmpty()) {
        throw DbError(DbError::kReadOnly, QStringLiteral("The recordset cannot be updated: ") +
                                              readOnlyReason + QLatin1Char('.'));
    }
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

namespace {
Recordset::Impl& opened(const std::unique_ptr<Recordset::Impl>& d) {
    if (!d)
        throw DbError(DbError::kObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
    return *d;
}
} // namespace

bool Recordset::isOpen() const {
    return d_ != nullptr;
}
void Recordset::close() {
    d_.reset();
}
bool Recordset::isReadOnly() const {
    const Impl& d = opened(d_);
    return !d.readOnlyReason.isEmpty();
}

int Recordset::fieldCount() const {
    return static_cast<int>(opened(d_).fields.size());
}
const Recordset::Field& Recordset::field(int index) const {
    const Impl& d = opened(d_);
    return d.fields[d.checkedIndex(index)];
}
QString Recordset::fieldName(int index) const {
    return field(index).name;
}
QStringList Recordset::fieldNames() const {
    QStringList names;
    for (const Field& f : opened(d_).fields)
        names << f.name;
    return names;
}
int Recordset::fieldIndex(const QString& name) const {
    return opened(d_).indexOf(name);
}

QVariant Recordset::value(int index) const {
    Impl& d = opened(d_);
    d.checkedIndex(index);
    const Impl::Row& row = d.current();
    const auto edit = d.edits.find(index);
    return edit != d.edits.end() ? edit->second : row.values[index];
}
QVariant Recordset::value(const QString& name) const {
    return value(opened(d_).checkedName(name));
}
bool Recordset::isNull(int index) const {
    const QVariant v = value(index);
    return !v.isValid() || v.isNull();
}
bool Recordset::isNull(const QString& name) const {
    return isNull(opened(d_).checkedName(name));
}

void Recordset::setValue(int index, const QVariant& value) {
    Impl& d = opened(d_);
    d.checkedIndex(index);
    d.checkWritable(index);
    d.current();
    d.edits[index] = value;
}
void Recordset::setValue(const QString& name, const QVariant& value) {
    setValue(opened(d_).checkedName(name), value);
}

bool Recordset::bof() const {
    return opened(d_).bof();
}
bool Recordset::eof() const {
    return opened(d_).eof();
}

void Recordset::moveFirst() {
    Impl& d = opened(d_);
    d.savePending();
    d.pos = d.nextLive(-1);
}
void Recordset::moveLast() {
    Impl& d = opened(d_);
    d.savePending();
    const qsizetype last = d.previousLive(d.size());
    d.pos = last < 0 ? d.size() : last;
}
void Recordset::moveNext() {
    Impl& d = opened(d_);
    if (d.eof())
        throw noCurrentRow();
    d.savePending();
    d.pos = d.nextLive(d.pos);
}
void Recordset::movePrevious() {
    Impl& d = opened(d_);
    if (d.bof())
        throw noCurrentRow();
    d.savePending();
    d.pos = d.previousLive(d.pos);
}
void Recordset::move(int n) {
    Impl& d = opened(d_);
    if (n == 0)
        return;
    if ((n > 0 && d.eof()) || (n < 0 && d.bof()))
        throw noCurrentRow();
    d.savePending();
    for (int i = 0; i < std::abs(n); ++i) {
        d.pos = n > 0 ? d.nextLive(d.pos) : d.previousLive(d.pos);
        if (d.pos < 0 || d.pos >= d.size())
            break;
    }
}

int Recordset::recordCount() const {
    return opened(d_).liveCount();
}

int Recordset::absolutePosition() const {
    const Impl& d = opened(d_);
    if (d.pos < 0)
        return kPosBof;
    if (d.pos >= d.size())
        return kPosEof;
    if (d.rows[d.pos].deleted)
        return kPosUnknown;
    int position = 0;
    for (qsizetype i = 0; i <= d.pos; ++i) {
        if (!d.rows[i].deleted)
            ++position;
    }
    return position;
}

int Recordset::bookmark() const {
    Impl& d = opened(d_);
    d.current();
    if (d.adding)
        throw DbError(DbError::kInvalidOperation, QStringLiteral("A row not yet written has no bookmark."));
    return static_cast<int>(d.pos);
}

void Recordset::moveToBookmark(int mark) {
    Impl& d = opened(d_);
    // A row being added is not yet marked; a mark at or past it names no row.
    const qsizetype marked = d.size() - (d.adding ? 1 : 0);
    if (mark < 0 || mark >= marked)
        throw itemNotFound(QStringLiteral("bookmark ") + QString::number(mark));
    if (d.rows[mark].deleted)
        throw DbError(DbError::kDeletedRow, QStringLiteral("The marked row has been deleted."));
    d.savePending();
    d.pos = mark;
}

void Recordset::addNew() {
    Impl& d = opened(d_);
    d.checkAnyWritable();
    d.savePending();
    Impl::Row row;
    for (int i = 0; i < d.fields.size(); ++i)
        row.values << QVariant();
    row.keys.resize(d.tables.size());
    row.images.resize(d.tables.size());
    d.posBeforeAdd = d.pos;
    d.rows.push_back(std::move(row));
    d.pos = d.size() - 1;
    d.adding = true;
}

void Recordset::update() {
    Impl& d = opened(d_);
    d.current();
    d.save();
}

void Recordset::cancelUpdate() {
    Impl& d = opened(d_);
    d.edits.clear();
    if (d.adding) {
        d.rows.pop_back();
        d.pos = std::min(d.posBeforeAdd, d.size());
        d.adding = false;
    }
}

bool Recordset::editPending() const {
    const Impl& d = opened(d_);
    return d.adding || !d.edits.empty();
}

void Recordset::deleteCurrent() {
    Impl& d = opened(d_);
    d.checkAnyWritable();
    Impl::Row& row = d.current();
    if (d.adding) {
        cancelUpdate();
        return;
    }
    d.deleteRow(row);
}

} // namespace platform::db
