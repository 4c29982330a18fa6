// The data-space streams, written field by field: a length-prefixed UTF-16 string padded to four
// bytes is the building block of all four.
#include "platform/sheet/encryption/DataSpaces.h"

#include "platform/sheet/encryption/CompoundFileWriter.h"
#include "platform/sheet/encryption/LittleEndian.h"

namespace platform::sheet::encryption {

namespace {

const QString kStorage = QChar(6) + QStringLiteral("DataSpaces");
const QString kDataSpaceName = QStringLiteral("StrongEncryptionDataSpace");
const QString kTransformName = QStringLiteral("StrongEncryptionTransform");

// Byte length, UTF-16 text, zero padding to a multiple of four bytes.
void appendPaddedString(QByteArray& out, const QString& text) {
    const QByteArray units = le::utf16(text);
    le::appendU32(out, std::uint32_t(units.size()));
    out.append(units);
    if (units.size() % 4)
        out.append(QByteArray(4 - units.size() % 4, '\0'));
}

void appendVersion(QByteArray& out) {
    le::appendU16(out, 1);
    le::appendU16(out, 0);
}

QByteArray versionStream() {
    QByteArray out;
    appendPaddedString(out, QStringLiteral("Microsoft.Container.DataSpaces"));
    appendVersion(out); // reader
    appendVersion(out); // updater
    appendVersion(out); // writer
    return out;
}

QByteArray dataSpaceMapStream() {
    QByteArray entry;
    le::appendU32(entry, 1); // one reference component
    le::appendU32(entry, 0); // ... which is a stream
    appendPaddedString(entry, QStringLiteral("EncryptedPackage"));
    appendPaddedString(entry, kDataSpaceName);

    QByteArray out;
    le::appendU32(out, 8);                               // header length
    le::appendU32(out, 1);                               // one entry
    le::appendU32(out, std::uint32_t(entry.size() + 4)); // the entry's length counts its length field
    out.append(entry);
    return out;
}

QByteArray dataSpaceDefinitionStream() {
    QByteArray out;
    le::appendU32(out, 8); // header length
    le::appendU32(out, 1); // one transform
    appendPaddedString(out, kTransformName);
    return out;
}

QByteArray primaryTransformStream() {
    QByteArray id;
    appendPaddedString(id, QStringLiteral("{FF9A3F03-56EF-4613-BDD5-5A41C1D07246}"));

    QByteArray out;
    le::appendU32(out, std::uint32_t(8 + id.size())); // bytes before the transform name
    le::appendU32(out, 1);                            // transform type
    out.append(id);
    appendPaddedString(out, QStringLiteral("Microsoft.Container.EncryptionTransform"));
    appendVersion(out);    // reader
    appendVersion(out);    // updater
    appendVersion(out);    // writer
    le::appendU32(out, 0); // encryption name: empty
    le::appendU32(out, 0); // block size
    le::appendU32(out, 0); // cipher mode
    le::appendU32(out, 4); // reserved, always 4
    return out;
}

} // namespace

void DataSpaces::addTo(CompoundFileWriter& writer) {
    const QString slash = QStringLiteral("/");
    writer.addStream(kStorage + slash + QStringLiteral("Version"), versionStream());
    writer.addStream(kStorage + slash + QStringLiteral("DataSpaceMap"), dataSpaceMapStream());
    writer.addStream(kStorage + slash + QStringLiteral("DataSpaceInfo") + slash + kDataSpaceName,
                     dataSpaceDefinitionStream());
    writer.addStream(kStorage + slash + QStringLiteral("TransformInfo") + slash + kTransformName + slash +
                         QChar(6) + QStringLiteral("Primary"),
                     primaryTransformStream());
}

} // namespace platform::sheet::encryption
