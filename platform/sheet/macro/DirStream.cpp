// See DirStream.h.
#include "platform/sheet/macro/DirStream.h"

#include "platform/sheet/SheetError.h"

#include <QStringDecoder>
#include <iconv.h>
#include <optional>

namespace platform::sheet::macro {

namespace {

// Record identifiers of the dir stream.
enum : std::uint16_t {
    kCodePage = 0x0003,
    kProjectName = 0x0004,
    kProjectVersion = 0x0009, // its size field says 4, yet 6 bytes follow it
    kModuleName = 0x0019,
    kModuleStreamName = 0x001A,
    kModuleTypeProcedural = 0x0021,
    kModuleOffset = 0x0031,
    kModuleStreamNameUnicode = 0x0032,
    kModuleNameUnicode = 0x0047,
    kModuleTerminator = 0x002B,
    kDirTerminator = 0x0010,
};

SheetError damaged(const QString& detail) {
    return SheetError(SheetError::Code::DamagedMacroProject,
                      QStringLiteral("The macro project's dir stream is damaged: %1.").arg(detail));
}

std::uint16_t u16(const char* at) {
    return std::uint16_t(std::uint8_t(at[0]) | (std::uint8_t(at[1]) << 8));
}

std::uint32_t u32(const char* at) {
    return std::uint32_t(u16(at)) | (std::uint32_t(u16(at + 2)) << 16);
}

QString utf16(const QByteArray& bytes) {
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(u16(bytes.constData() + i)));
    return text;
}

class DirReader {
public:
    explicit DirReader(const QByteArray& dir)
        : dir_(dir) {}

    DirInfo run() {
        while (pos_ < dir_.size()) {
            const std::uint16_t id = take16();
            const std::uint32_t size = take32();
            if (id == kDirTerminator)
                break;
            const qsizetype length = id == kProjectVersion ? 6 : qsizetype(size);
            if (length > dir_.size() - pos_)
                throw damaged(QStringLiteral("record %1 runs past its end").arg(id));
            record(id, dir_.mid(pos_, length));
            pos_ += length;
        }
        if (module_)
            throw damaged(QStringLiteral("the last module has no end"));
        return info_;
    }

private:
    std::uint16_t take16() {
        if (dir_.size() - pos_ < 2)
            throw damaged(QStringLiteral("a record is cut short"));
        pos_ += 2;
        return u16(dir_.constData() + pos_ - 2);
    }
    std::uint32_t take32() {
        if (dir_.size() - pos_ < 4)
            throw damaged(QStringLiteral("a record is cut short"));
        pos_ += 4;
        return u32(dir_.constData() + pos_ - 4);
    }

    DirModule& module() {
        if (!module_)
            throw damaged(QStringLiteral("a module record stands outside a module"));
        return info_.modules.back();
    }

    void record(std::uint16_t id, const QByteArray& data) {
        switch (id) {
        case kCodePage:
            if (data.size() >= 2)
                info_.codePage = u16(data.constData());
            break;
        case kProjectName:
            info_.projectName = decodeText(data, info_.codePage);
            break;
        case kModuleName:
            if (module_)
                throw damaged(QStringLiteral("a module starts before the one before it ended"));
            info_.modules.push_back({decodeText(data, info_.codePage), {}, 0, false});
            module_ = true;
            break;
        case kModuleNameUnicode:
            if (!data.isEmpty())
                module().name = utf16(data);
            break;
        case kModuleStreamName:
            module().streamName = decodeText(data, info_.codePage);
            break;
        case kModuleStreamNameUnicode:
            if (!data.isEmpty())
                module().streamName = utf16(data);
            break;
        case kModuleOffset:
            if (data.size() < 4)
                throw damaged(QStringLiteral("a module's offset is cut short"));
            module().sourceOffset = u32(data.constData());
            break;
        case kModuleTypeProcedural:
            module().procedural = true;
            break;
        case kModuleTerminator:
            if (module().streamName.isEmpty())
                throw damaged(QStringLiteral("a module names no stream"));
            module_ = false;
            break;
        default:
            break;
        }
    }

    const QByteArray& dir_;
    qsizetype pos_ = 0;
    bool module_ = false;
    DirInfo info_;
};

// Decodes through the C library's converters, which know the Windows code pages.
std::optional<QString> iconvDecode(const QByteArray& bytes, const QByteArray& encoding) {
    iconv_t cd = iconv_open("UTF-8", encoding.constData());
    if (cd == iconv_t(-1))
        return std::nullopt;
    QByteArray in = bytes;
    QByteArray out(bytes.size() * 4 + 4, Qt::Uninitialized);
    char* inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1))
        return std::nullopt;
    out.truncate(out.size() - qsizetype(outLeft));
    return QString::fromUtf8(out);
}

} // namespace

DirInfo readDir(const QByteArray& dir) {
    return DirReader(dir).run();
}

QString decodeText(const QByteArray& bytes, std::uint16_t codePage) {
    if (codePage == 65001)
        return QString::fromUtf8(bytes);
    if (const auto text = iconvDecode(bytes, "CP" + QByteArray::number(codePage)))
        return *text;
    return QString::fromLatin1(bytes);
}

} // namespace platform::sheet::macro
