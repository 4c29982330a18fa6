// The "\x06DataSpaces" storage that accompanies an encrypted package: it declares that the
// EncryptedPackage stream is transformed by the strong encryption transform. Readers find the
// algorithms in EncryptionInfo; spreadsheet programs still expect this storage to be there.
#pragma once

namespace platform::sheet::encryption {

class CompoundFileWriter;

class DataSpaces {
public:
    // Adds the four streams of the storage to the container being written.
    static void addTo(CompoundFileWriter& writer);
};

} // namespace platform::sheet::encryption
