// The compression of a macro project's streams (the dir stream and the modules' source text): a
// signature byte, then chunks of at most 4096 decompressed bytes, each either stored as it is or
// made of flag bytes with literal bytes and copy tokens that repeat earlier bytes of the same
// chunk. Every length, offset and chunk header is checked before use, so a damaged stream is the
// damaged-project error and never reads or writes out of bounds.
#pragma once

#include <QByteArray>

namespace platform::sheet::macro {

// The most a stream may decompress to; a larger result is taken as damage (a handful of bytes
// can claim a great deal).
constexpr qsizetype kMaxDecompressedSize = 64 * 1024 * 1024;

// Decompresses the container that starts at `offset` and runs to the end of `data`. Throws
// SheetError (DamagedMacroProject); `what` names the stream in the error's description.
QByteArray decompress(const QByteArray& data, qsizetype offset, const QString& what);

} // namespace platform::sheet::macro
