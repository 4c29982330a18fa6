// See MimeMessage.h. GMime objects are reference counted GObjects; each is held by a
// unique_ptr that drops its reference, so no path leaks one.
#include "platform/mail/MimeMessage.h"

#include "platform/mail/MailAddress.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <fcntl.h>
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

QByteArray decodedContent(GMimePart* part) {
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content)
        return {};
    GPtr<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, out.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char*>(bytes->data), static_cast<qsizetype>(bytes->len));
}

// ---- the raw header ------------------------------------------------------------------------

// The header fields that decide about the sender, and whether a NUL byte stands anywhere in the
// message.
struct RawFacts {
    QList<QByteArray> fromValues;
    QByteArray topAuthenticationResults;
    bool authenticationResultsSeen = false;
    bool nulByte = false;
};

constexpr qsizetype kChunk = 1 << 20;

bool holdsNulByte(QIODevice& in) {
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty())
            break;
        if (chunk.contains('\0'))
            return true;
    }
    return false;
}

// A field's value unfolded: a line break before a continuation line's blank goes, and so does
// the field's own line end; any other line break stays, a control character in the value.
QByteArray unfolded(const QByteArray& value) {
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype lineFeed =
            value.at(i) == '\r' && i + 1 < value.size() && value.at(i + 1) == '\n' ? i + 1 : i;
        if (value.at(lineFeed) == '\n') {
            const qsizetype next = lineFeed + 1;
            if (next == value.size() || value.at(next) == ' ' || value.at(next) == '\t') {
                i = lineFeed;
                continue;
            }
        }
        out += value.at(i);
    }
    return out;
}

// Where the value of the field that begins at `offset` begins: after the colon that ends its
// name (blanks may stand between them); -1 when no colon follows.
qint64 valueStart(QIODevice& in, qint64 offset) {
    if (!in.seek(offset))
        return -1;
    for (qint64 window = 256; window <= kChunk; window *= 4) {
        const QByteArray start = in.peek(window);
        if (const qsizetype colon = start.indexOf(':'); colon >= 0)
            return offset + colon + 1;
        if (start.size() < window)
            break;
    }
    return -1;
}

// The value of a header field the parser found, as the message holds it: the parser's copy of
// the value stops at a NUL byte, so the byte after it in the message tells whether the value
// went on (it then keeps the NUL, which refuses it).
QByteArray fieldValue(GMimeHeader* header, QIODevice& in) {
    const char* raw = g_mime_header_get_raw_value(header);
    const QByteArray value = raw ? QByteArray(raw) : QByteArray();
    const qint64 start = valueStart(in, g_mime_header_get_offset(header));
    if (start < 0 || !in.seek(start))
        return value;
    const QByteArray stored = in.read(value.size() + 1);
    if (stored.size() > value.size() && stored.at(value.size()) == '\0')
        return value + '\0';
    return value;
}

// The From fields and the topmost Authentication-Results field as the parser found them: the
// header ends where the parser ended it, and a line the parser took for no field gives none.
void readHeaderFields(GMimeMessage* mime, QIODevice& in, RawFacts& facts) {
    GMimeHeaderList* list = g_mime_object_get_header_list(GMIME_OBJECT(mime));
    const int count = g_mime_header_list_get_count(list);
    for (int i = 0; i < count; ++i) {
        GMimeHeader* header = g_mime_header_list_get_header_at(list, i);
        const char* name = g_mime_header_get_name(header);
        if (!name)
            continue;
        if (g_ascii_strcasecmp(name, "From") == 0) {
            facts.fromValues << unfolded(fieldValue(header, in));
        } else if (g_ascii_strcasecmp(name, "Authentication-Results") == 0 &&
                   !facts.authenticationResultsSeen) {
            facts.authenticationResultsSeen = true;
            facts.topAuthenticationResults = unfolded(fieldValue(header, in));
        }
    }
}

bool hasControlBytes(const QByteArray& value) {
    for (const char c : value)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f)
            return true;
    return false;
}

// The one From field with its one mailbox, or why not.
void readSender(const RawFacts& facts, ReceivedMessage& message) {
    QStringList shown;
    for (const QByteArray& value : facts.fromValues)
        shown << visibleText(QString::fromUtf8(value).trimmed());
    message.fromText = shown.join(QStringLiteral(", "));
    if (facts.fromValues.isEmpty()) {
        message.senderForm = SenderForm::NoFromField;
        return;
    }
    if (facts.fromValues.size() > 1) {
        message.senderForm = SenderForm::SeveralFromFields;
        return;
    }
    const QByteArray& value = facts.fromValues.first();
    if (hasControlBytes(value)) {
        message.senderForm = SenderForm::ControlCharacters;
        return;
    }
    GPtr<InternetAddressList> list(internet_address_list_parse(nullptr, value.constData()));
    message.senderForm = SenderForm::NotOneMailbox;
    if (!list || internet_address_list_length(list.get()) != 1)
        return;
    InternetAddress* address = internet_address_list_get_address(list.get(), 0);
    if (!INTERNET_ADDRESS_IS_MAILBOX(address))
        return;
    const QString addr =
        QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
    if (!isAcceptableAddress(addr) || !addr.contains(QLatin1Char('@')))
        return;
    message.senderForm = SenderForm::OneMailbox;
    message.senderAddress = addr;
}

// "mx.example.org; spf=pass smtp.mailfrom=...; dkim=fail (bad signature) ...; dmarc=fail"
QStringList failedVerdicts(const QByteArray& field) {
    QString text = QString::fromUtf8(field);
    static const QRegularExpression comment(QStringLiteral(R"(\([^()]*\))"));
    for (int round = 0; round < 8 && text.contains(QLatin1Char('(')); ++round)
        text.remove(comment);
    static const QRegularExpression verdict(QStringLiteral(R"(\b(spf|dkim|dmarc)\s*=\s*([A-Za-z]+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList failed;
    for (auto it = verdict.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(2).compare(QLatin1String("fail"), Qt::CaseInsensitive) == 0) {
            const QString found = match.captured(1).toLower() + QStringLiteral("=fail");
            if (!failed.contains(found))
                failed << found;
        }
    }
    return failed;
}

// ---- the parts ---------------------------------------------------------------------------

constexpr int kMaxDepth = 24;

// The parameters of a header value: its parts between semicolons outside quoted strings.
QList<QByteArray> parameters(const QByteArray& value) {
    QList<QByteArray> parts{{}};
    bool quoted = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value.at(i);
        if (quoted && c == '\\' && i + 1 < value.size()) {
            parts.last() += value.mid(i, 2);
            ++i;
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        if (c == ';' && !quoted)
            parts << QByteArray();
        else
            parts.last() += c;
    }
    return parts.mid(1); // the first part is the value itself ("attachment", "text/plain")
}

// A parameter written with an encoding of a control character that decoding may have cut the
// name at: "%00" to "%1F" in the value of an extended parameter of RFC 2231 ("filename*=",
// "filename*1*="), or an encoded word whose bytes hold one. A "%00" in a plain value is text.
bool hidesControlCharacter(const char* rawHeader) {
    if (!rawHeader)
        return false;
    const QByteArray raw(rawHeader);
    static const QRegularExpression percent(QStringLiteral("%(?:[01][0-9A-Fa-f]|7[Ff])"));
    for (const QByteArray& parameter : parameters(raw)) {
        const qsizetype equals = parameter.indexOf('=');
        if (equals > 0 && parameter.left(equals).trimmed().endsWith('*') &&
            percent.match(QString::fromLatin1(parameter.mid(equals + 1))).hasMatch())
            return true;
    }
    static const QRegularExpression word(QStringLiteral(R"(=\?[^?]*\?([BbQq])\?([^?]*)\?=)"));
    for (auto it = word.globalMatch(QString::fromLatin1(raw)); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QByteArray payload = match.captured(2).toLatin1();
        const QByteArray bytes = match.captured(1).toUpper() == QLatin1String("B")
                                     ? QByteArray::fromBase64(payload)
                                     : QByteArray::fromPercentEncoding(payload.replace('_', ' '), '=');
        if (hasControlBytes(bytes))
            return true;
    }
    return false;
}

// The header as it stood, before any decoding.
const char* rawHeader(GMimeObject* object, const char* name) {
    GMimeHeader* header = g_mime_header_list_get_header(g_mime_object_get_header_list(object), name);
    return header ? g_mime_header_get_raw_value(header) : nullptr;
}

QString typeOf(GMimeObject* object) {
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (!type)
        return QStringLiteral("unknown");
    gchar* mime = g_mime_content_type_get_mime_type(type);
    const QString text = QString::fromUtf8(mime).toLower();
    g_free(mime);
    return text;
}

// A name a returned workbook may have (the legacy format's too, so that it is refused with its
// reason rather than read as part of the text).
bool isWorkbookName(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == QLatin1String("xlsx") || suffix == QLatin1String("xlsm") ||
           suffix == QLatin1String("xls");
}

// A part the mail program shows within the text rather than as a file.
bool shownInline(GMimeObject* object, bool inRelated) {
    if (inRelated)
        return true;
    const char* disposition = g_mime_object_get_disposition(object);
    return disposition && g_ascii_strcasecmp(disposition, GMIME_DISPOSITION_INLINE) == 0;
}

// A file uuencoded into the text ("begin 644 Sales.xlsx" ... "end"): its name, or none.
std::optional<QString> uuencodedFile(const QString& text) {
    static const QRegularExpression begin(QStringLiteral(R"(^begin(?:-base64)? [0-7]{3,4} +(\S.*)$)"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = begin.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return visibleText(match.captured(1).trimmed());
}

void readText(GMimeObject* object, ReceivedMessage& message) {
    char* body = g_mime_text_part_get_text(GMIME_TEXT_PART(object));
    const QString text = QString::fromUtf8(body);
    g_free(body);
    if (const std::optional<QString> file = uuencodedFile(text))
        message.unreadParts << QStringLiteral("the file %1 uuencoded into its text").arg(*file);
    if (message.textBody.isEmpty())
        message.textBody = text;
}

void readLeaf(GMimePart* part, bool inRelated, ReceivedMessage& message) {
    GMimeObject* object = GMIME_OBJECT(part);
    const char* filename = g_mime_part_get_filename(part);
    const QString type = typeOf(object);
    const bool inlinePart = shownInline(object, inRelated);
    if (filename && *filename) {
        if (inlinePart && !isWorkbookName(QString::fromUtf8(filename)))
            return; // a picture within the text
        ReceivedAttachment attachment{QString::fromUtf8(filename), decodedContent(part), false};
        attachment.unsafeName = hasControlCharacters(attachment.name) ||
                                hidesControlCharacter(rawHeader(object, "Content-Disposition")) ||
                                hidesControlCharacter(rawHeader(object, "Content-Type"));
        message.attachments << attachment;
        return;
    }
    const bool text = type.startsWith(QLatin1String("text/"));
    if (!text || g_mime_part_is_attachment(part)) {
        if (!text && inlinePart && !g_mime_part_is_attachment(part))
            return; // an unnamed picture within the text
        message.unreadParts << QStringLiteral("a part of type %1 without a file name").arg(type);
        return;
    }
    if (type == QLatin1String("text/plain"))
        readText(object, message);
}

void readPart(GMimeObject* object, int depth, bool inRelated, ReceivedMessage& message) {
    if (depth > kMaxDepth) {
        message.unreadParts << QStringLiteral("parts nested more than %1 levels deep").arg(kMaxDepth);
        return;
    }
    if (GMIME_IS_MESSAGE_PART(object)) {
        message.unreadParts << QStringLiteral("a forwarded message");
        return;
    }
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        const int count = g_mime_multipart_get_count(multipart);
        const QString type = typeOf(object);
        if (count == 0)
            message.unreadParts << QStringLiteral("a part of type %1 without parts").arg(type);
        const bool related = inRelated || type == QLatin1String("multipart/related");
        for (int i = 0; i < count; ++i)
            readPart(g_mime_multipart_get_part(multipart, i), depth + 1, related, message);
        return;
    }
    if (GMIME_IS_PART(object)) {
        readLeaf(GMIME_PART(object), inRelated, message);
        return;
    }
    message.unreadParts << QStringLiteral("a part of type %1").arg(typeOf(object));
}

// Parses the message from the stream; `in` holds the same bytes, read again for the fields that
// decide about the sender.
std::optional<ReceivedMessage> parseStream(GMimeStream* stream, QIODevice& in) {
    RawFacts facts;
    facts.nulByte = holdsNulByte(in);
    GPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream));
    GPtr<GMimeMessage> mime(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!mime)
        return std::nullopt;
    readHeaderFields(mime.get(), in, facts);
    ReceivedMessage message;
    readSender(facts, message);
    message.failedVerdicts = failedVerdicts(facts.topAuthenticationResults);
    if (const char* subject = g_mime_message_get_subject(mime.get()))
        message.subject = QString::fromUtf8(subject);
    if (GDateTime* date = g_mime_message_get_date(mime.get()))
        message.date = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date), Qt::UTC);
    if (facts.nulByte)
        message.unreadParts << QStringLiteral("a NUL byte");
    if (GMimeObject* body = g_mime_message_get_mime_part(mime.get()))
        readPart(body, 0, false, message);
    return message;
}

} // namespace

RefusedField refusedField(const OutgoingMessage& message) {
    if (!isAcceptableAddress(message.sender))
        return RefusedField::Sender;
    if (!isAcceptableAddress(message.recipient))
        return RefusedField::Recipient;
    if (hasControlCharacters(message.attachmentName))
        return RefusedField::AttachmentName;
    return RefusedField::None;
}

std::optional<QByteArray> buildMessage(const OutgoingMessage& message) {
    if (refusedField(message) != RefusedField::None)
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
    QBuffer buffer;
    buffer.setData(raw);
    buffer.open(QIODevice::ReadOnly);
    GPtr<GMimeStream> stream(
        g_mime_stream_mem_new_with_buffer(raw.constData(), static_cast<size_t>(raw.size())));
    return parseStream(stream.get(), buffer);
}

std::optional<ReceivedMessage> parseMessageFile(const QString& path) {
    initGMime();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    GPtr<GMimeStream> stream(
        g_mime_stream_fs_open(QFile::encodeName(path).constData(), O_RDONLY, 0, nullptr));
    if (!stream)
        return std::nullopt;
    return parseStream(stream.get(), file);
}

} // namespace platform::mail
