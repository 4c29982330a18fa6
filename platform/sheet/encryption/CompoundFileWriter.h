// Writes a compound file (version 3, 512-byte sectors) from a set of streams in memory. Streams under
// 4096 bytes go into the mini stream, larger ones into regular sectors; the allocation table grows
// its extension sectors when the file needs more than 109 table sectors. The siblings of each storage
// are stored as a balanced tree coloured as a valid red-black tree, which readers may rely on.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace platform::sheet::encryption {

class CompoundFileWriter {
public:
    CompoundFileWriter();

    // path as for CompoundFileReader: "EncryptedPackage", "\x06DataSpaces/DataSpaceMap". Storages
    // on the way are created. A name longer than 31 characters, an empty one, or a path that is
    // already in use throws std::invalid_argument: these are mistakes of the calling code.
    void addStream(const QString& path, const QByteArray& data);

    QByteArray toBytes() const;

private:
    struct Node {
        QString name;
        bool storage = false;
        QByteArray data;
        std::vector<int> children;
    };

    int childNamed(int storage, const QString& name) const;

    std::vector<Node> nodes_;
};

} // namespace platform::sheet::encryption
