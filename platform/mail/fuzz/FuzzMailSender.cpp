// See FuzzMailSender.h. Built into the fuzz target fuzz_mail_sender (with LUMIVANE_FUZZ_ENTRY,
// which adds libFuzzer's entry point) and into the mail layer's tests, which replay every
// reproducer and seed through it. The parser's own reading of the header is the measure: GMime's
// From fields of the message, and its addresses.
#include "platform/mail/fuzz/FuzzMailSender.h"

#include "platform/mail/MimeMessage.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryFile>
#include <gmime/gmime.h>
#include <memory>
#include <optional>

namespace platform::mail::fuzz {

namespace {

struct Unref {
    void operator()(gpointer object) const {
        if (object)
            g_object_unref(object);
    }
};

// The address of the one mailbox of the message's one From field, as the parser reads them;
// nothing when the parser reads no such sender.
std::optional<QString> parsersSender(const QByteArray& bytes) {
    std::unique_ptr<GMimeStream, Unref> stream(
        g_mime_stream_mem_new_with_buffer(bytes.constData(), static_cast<size_t>(bytes.size())));
    std::unique_ptr<GMimeParser, Unref> parser(g_mime_parser_new_with_stream(stream.get()));
    std::unique_ptr<GMimeMessage, Unref> mime(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!mime)
        return std::nullopt;
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(mime.get()));
    int fromFields = 0;
    for (int i = 0; i < g_mime_header_list_get_count(headers); ++i)
        if (g_ascii_strcasecmp(g_mime_header_get_name(g_mime_header_list_get_header_at(headers, i)),
                               "From") == 0)
            ++fromFields;
    InternetAddressList* from = g_mime_message_get_from(mime.get());
    if (fromFields != 1 || !from || internet_address_list_length(from) != 1)
        return std::nullopt;
    InternetAddress* address = internet_address_list_get_address(from, 0);
    if (!INTERNET_ADDRESS_IS_MAILBOX(address))
        return std::nullopt;
    return QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
}

} // namespace

bool mailSenderHolds(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/lumivane-fuzz-mail-XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return true; // no file to read: nothing to judge
    const std::optional<ReceivedMessage> taken = parseMessageFile(file.fileName());
    if (!taken || taken->senderForm != SenderForm::OneMailbox)
        return true;
    const std::optional<QString> parsers = parsersSender(bytes);
    return parsers && *parsers == taken->senderAddress;
}

} // namespace platform::mail::fuzz

#ifdef LUMIVANE_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!platform::mail::fuzz::mailSenderHolds(data, size))
        __builtin_trap();
    return 0;
}
#endif
