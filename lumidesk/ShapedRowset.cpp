// See ShapedRowset.h.
#include "lumidesk/ShapedRowset.h"

namespace lumidesk {

int ShapedRowset::fieldIndex(const QString& name) const {
    for (int index = 0; index < fields.size(); ++index) {
        if (fields[index].compare(name, Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

QVariant ShapedRow::value(const ShapedRowset& owner, const QString& field) const {
    const int index = owner.fieldIndex(field);
    return index >= 0 && index < values.size() ? values[index] : QVariant();
}

} // namespace lumidesk
