// See FuzzMailInput.h. Built into the fuzz target fuzz_mail_input (with LUMIVANE_FUZZ_ENTRY, which
// adds libFuzzer's entry point) and into the mail layer's tests, which replay every reproducer
// and seed through it.
#include "platform/mail/fuzz/FuzzMailInput.h"

#include "platform/mail/CsvContacts.h"
#include "platform/mail/MailAddress.h"
#include "platform/mail/MimeMessage.h"
#include "platform/mail/VCardReader.h"

#include <QByteArray>
#include <QList>

namespace platform::mail::fuzz {

namespace {

constexpr char kFieldSeparator = '\xFF';

bool roundTripHolds(const QByteArray& input) {
    const QList<QByteArray> fields = input.split(kFieldSeparator);
    if (fields.size() < 5)
        return true;
    OutgoingMessage out;
    out.sender = QString::fromUtf8(fields.at(0));
    out.recipient = QString::fromUtf8(fields.at(1));
    out.subject = QString::fromUtf8(fields.at(2));
    out.attachmentName = QString::fromUtf8(fields.at(3));
    out.attachment =
        input.mid(fields.at(0).size() + fields.at(1).size() + fields.at(2).size() + fields.at(3).size() + 4);
    const std::optional<QByteArray> built = buildMessage(out);
    const bool refusable = !isAcceptableAddress(out.sender) || !isAcceptableAddress(out.recipient) ||
                           hasControlCharacters(out.attachmentName);
    if (!built)
        return refusable;
    if (refusable)
        return false; // built all the same
    const std::optional<ReceivedMessage> back = parseMessage(*built);
    if (!back)
        return false;
    if (out.attachmentName.isEmpty())
        return back->attachments.isEmpty();
    return back->attachments.size() == 1 && back->attachments.first().name == out.attachmentName &&
           back->attachments.first().data == out.attachment && !back->attachments.first().unsafeName &&
           back->unreadParts.isEmpty();
}

} // namespace

bool mailInputHolds(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return true;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    switch (data[0] % 4) {
    case 0:
        parseMessage(input);
        return true;
    case 1:
        readVCards(input);
        return true;
    case 2:
        readCsvContacts(input);
        return true;
    default:
        return roundTripHolds(input);
    }
}

} // namespace platform::mail::fuzz

#ifdef LUMIVANE_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!platform::mail::fuzz::mailInputHolds(data, size))
        __builtin_trap();
    return 0;
}
#endif
