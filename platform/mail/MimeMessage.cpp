// See MimeMessage.h. GMime objects are reference counted GObjects; each is held by a
// unique_ptr that drops its reference, so no path leaks one.
#include "platform/mail/MimeMessage.h"

#include "platform/mail/MailAddress.h"

#include <QFileInfo>
#include <gmime/gmime.h>
#include <memory>
#include <mutex>

namespace platform::mail {

namespace {

void initGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

struct Unref {
    void operator()(gpointer object) const {
        if (object)
            g_object_unref(object);
    }
};
template <typename T> using GPtr = std::unique_ptr<T, Unref>;

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

// The content type of an attached file, by its extension; workbooks are the usual case.
QByteArray contentType(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
    if (suffix == QLatin1String("xlsm"))
        return "application/vnd.ms-excel.sheet.macroEnabled.12";
    return "application/octet-stream";
}

GMimeObject* textPart(const QString& body) {
    GMimeTextPart* part = g_mime_text_part_new_with_subtype("plain");
    g_mime_text_part_set_text(part, utf8(body).constData()); // also sets charset=utf-8
    g_mime_part_set_content_encoding(GMIME_PART(part), g_mime_part_get_best_content_encoding(
                                                           GMIME_PART(part), GMIME_ENCODING_CONSTRAINT_7BIT));
    return GMIME_OBJECT(part);
}

GMimeObject* attachmentPart(const QString& name, const QByteArray& data) {
    const QByteArray type = contentType(name);
    const qsizetype slash = type.indexOf('/');
    GMimePart* part =
        g_mime_part_new_with_type(type.left(slash).constData(), type.mid(slash + 1).constData());
    GPtr<GMimeStream> stream(
        g_mime_stream_mem_new_with_buffer(data.constData(), static_cast<size_t>(data.size())));
    GPtr<GMimeDataWrapper> content(
        g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, content.get());
    g_mime_part_set_filename(part, utf8(name).constData());
    g_mime_object_set_disposition(GMIME_OBJECT(part), GMIME_DISPOSITION_ATTACHMENT);
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    return GMIME_OBJECT(part);
}

QString firstAddress(InternetAddressList* list) {
    if (!list)
        return {};
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address))
            return QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            const QString inGroup =
                firstAddress(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)));
            if (!inGroup.isEmpty())
                return inGroup;
        }
    }
    return {};
}

QByteArray decodedContent(GMimePart* part) {
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content)
        return {};
    GPtr<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, out.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char*>(bytes->data), static_cast<qsizetype>(bytes->len));
}

void collectPart(GMimeObject*, GMimeObject* object, gpointer data) {
    auto* message = static_cast<ReceivedMessage*>(data);
    if (GMIME_IS_MESSAGE_PART(object)) {
        // A forwarded message travels as a whole: it is no file of the user's.
        return;
    }
    if (!GMIME_IS_PART(object))
        return;
    GMimePart* part = GMIME_PART(object);
    const char* filename = g_mime_part_get_filename(part);
    const bool attachment = filename || g_mime_part_is_attachment(part);
    if (attachment) {
        message->attachments << ReceivedAttachment{filename ? QString::fromUtf8(filename) : QString(),
                                                   decodedContent(part)};
        return;
    }
    if (GMIME_IS_TEXT_PART(object) && message->textBody.isEmpty()) {
        GMimeContentType* type = g_mime_object_get_content_type(object);
        if (type && g_mime_content_type_is_type(type, "text", "plain")) {
            char* text = g_mime_text_part_get_text(GMIME_TEXT_PART(object));
            message->textBody = QString::fromUtf8(text);
            g_free(text);
        }
    }
}

} // namespace

std::optional<QByteArray> buildMessage(const OutgoingMessage& message) {
    if (!isAcceptableAddress(message.sender) || !isAcceptableAddress(message.recipient) ||
        hasControlCharacters(message.attachmentName))
        return std::nullopt;
    QString subject = message.subject;
    for (QChar& c : subject)
        if (isControlCharacter(c))
            c = QLatin1Char(' ');
    initGMime();
    GPtr<GMimeMessage> mime(g_mime_message_new(TRUE));
    g_mime_message_add_mailbox(mime.get(), GMIME_ADDRESS_TYPE_FROM, nullptr,
                               utf8(message.sender).constData());
    g_mime_message_add_mailbox(mime.get(), GMIME_ADDRESS_TYPE_TO, nullptr,
                               utf8(message.recipient).constData());
    g_mime_message_set_subject(mime.get(), utf8(subject).constData(), "utf-8");
    GDateTime* date = g_date_time_new_now_local();
    g_mime_message_set_date(mime.get(), date);
    g_date_time_unref(date);
    gchar* id = g_mime_utils_generate_message_id("lumivane.invalid");
    g_mime_message_set_message_id(mime.get(), id);
    g_free(id);

    GPtr<GMimeObject> body(textPart(message.body));
    if (message.attachmentName.isEmpty()) {
        g_mime_message_set_mime_part(mime.get(), body.get());
    } else {
        GPtr<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
        GPtr<GMimeObject> file(attachmentPart(message.attachmentName, message.attachment));
        g_mime_multipart_add(mixed.get(), body.get());
        g_mime_multipart_add(mixed.get(), file.get());
        g_mime_message_set_mime_part(mime.get(), GMIME_OBJECT(mixed.get()));
    }

    GMimeFormatOptions* options = g_mime_format_options_clone(g_mime_format_options_get_default());
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    GPtr<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(mime.get()), options, out.get());
    g_mime_format_options_free(options);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char*>(bytes->data), static_cast<qsizetype>(bytes->len));
}

std::optional<ReceivedMessage> parseMessage(const QByteArray& raw) {
    initGMime();
    GPtr<GMimeStream> stream(
        g_mime_stream_mem_new_with_buffer(raw.constData(), static_cast<size_t>(raw.size())));
    GPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GPtr<GMimeMessage> mime(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!mime)
        return std::nullopt;
    ReceivedMessage message;
    message.senderAddress = firstAddress(g_mime_message_get_from(mime.get()));
    if (const char* subject = g_mime_message_get_subject(mime.get()))
        message.subject = QString::fromUtf8(subject);
    // Visits the top part too, so a message that is nothing but one file is seen as well.
    g_mime_message_foreach(mime.get(), &collectPart, &message);
    return message;
}

} // namespace platform::mail
