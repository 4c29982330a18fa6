// The parts of a workbook package and the save that keeps untouched parts as they were.
#include "platform/sheet/package/Package.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/model/Parallel.h"
#include "platform/sheet/package/ZipWriter.h"

namespace platform::sheet {

namespace {

std::string_view withoutSlash(std::string_view name) {
    while (!name.empty() && name.front() == '/')
        name.remove_prefix(1);
    return name;
}

QString shown(std::string_view name) {
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

// Whether the text at `at` is the percent-encoded character `hex` ("2e"), in either case.
bool encodedAt(std::string_view name, std::size_t at, std::string_view hex) {
    return at + 2 < name.size() && name[at] == '%' &&
           QByteArrayView(name.substr(at + 1, 2)).compare(QByteArrayView(hex), Qt::CaseInsensitive) == 0;
}

bool holdsEncoded(std::string_view name, std::string_view hex) {
    for (std::size_t at = name.find('%'); at != std::string_view::npos; at = name.find('%', at + 1))
        if (encodedAt(name, at, hex))
            return true;
    return false;
}

// A segment that names the folder itself or the one above: ".", "..", also spelt "%2e".
bool isDotSegment(std::string_view segment) {
    std::size_t dots = 0;
    for (std::size_t i = 0; i < segment.size(); ++dots) {
        if (segment[i] == '.')
            i += 1;
        else if (encodedAt(segment, i, "2e"))
            i += 3;
        else
            return false;
    }
    return dots == 1 || dots == 2;
}

} // namespace

QString Package::nameProblem(std::string_view name) {
    if (name.empty())
        return QStringLiteral("an entry has no name");
    if (name.front() == '/')
        return QStringLiteral("the entry %1 has an absolute name").arg(shown(name));
    if (name.find('\\') != std::string_view::npos || holdsEncoded(name, "5c") || holdsEncoded(name, "2f"))
        return QStringLiteral("the entry %1 has a name with a backslash or an encoded slash")
            .arg(shown(name));
    std::string_view rest = name;
    if (rest.back() == '/')
        rest.remove_suffix(1); // a folder entry
    for (;;) {
        const std::size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (segment.empty() || isDotSegment(segment))
            return QStringLiteral("the entry %1 has a name with an empty, \".\" or \"..\" segment")
                .arg(shown(name));
        if (slash == std::string_view::npos)
            return {};
        rest.remove_prefix(slash + 1);
    }
}

Package::Package() = default;

Package::Package(QByteArray zipBytes)
    : reader_(std::make_shared<ZipReader>(std::move(zipBytes))) {
    const auto& entries = reader_->entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& name = entries[i].name;
        if (const QString problem = nameProblem(name); !problem.isEmpty())
            throw SheetError(SheetError::Code::DamagedPackage,
                             QStringLiteral("The workbook file is damaged: %1.").arg(problem));
        if (name.back() == '/')
            continue; // folder entries hold no part
        const std::string k = key(name);
        if (index_.count(k))
            throw SheetError(SheetError::Code::DamagedPackage,
                             QStringLiteral("The workbook file is damaged: the part %1 is stored twice.")
                                 .arg(QString::fromStdString(name)));
        index_.emplace(k, items_.size());
        items_.push_back(Item{name, int(i), std::nullopt, std::nullopt, false});
    }
}

std::string Package::key(std::string_view name) {
    std::string k(withoutSlash(name));
    for (char& c : k)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return k;
}

const Package::Item* Package::item(std::string_view part) const {
    const auto it = index_.find(key(part));
    if (it == index_.end() || items_[it->second].removed)
        return nullptr;
    return &items_[it->second];
}

Package::Item* Package::item(std::string_view part) {
    return const_cast<Item*>(static_cast<const Package*>(this)->item(part));
}

bool Package::contains(std::string_view part) const {
    return item(part) != nullptr;
}

Package::PendingRead Package::prepareRead(std::string_view part) const {
    const Item* found = item(part);
    if (!found)
        throw SheetError(SheetError::Code::DamagedPackage,
                         QStringLiteral("The workbook file is damaged: the part %1 is missing.")
                             .arg(QString::fromUtf8(part.data(), qsizetype(part.size()))));
    PendingRead pending;
    pending.name = found->name;
    if (found->content) {
        pending.ready = found->content;
        return pending;
    }
    if (found->packed) {
        pending.entry.name = found->name;
        pending.entry.size = found->packed->size;
        pending.entry.compressedSize = found->packed->data.size();
        pending.entry.crc = found->packed->crc;
        pending.entry.method = found->packed->method;
        pending.stored = found->packed->data;
        return pending;
    }
    pending.entry = reader_->entries()[std::size_t(found->entry)];
    pending.stored = reader_->readStored(pending.entry);
    return pending;
}

std::string Package::read(std::string_view part) const {
    std::string content = prepareRead(part).unpack();
    if (budget_)
        budget_->takeElements(content, part);
    return content;
}

Package::Item& Package::itemForWrite(std::string_view part) {
    if (const QString problem = nameProblem(part); !problem.isEmpty())
        throw SheetError(SheetError::Code::WriteFailed,
                         QStringLiteral("A workbook part cannot be written: %1.").arg(problem));
    if (Item* found = item(part))
        return *found;
    const std::string k = key(part);
    const auto it = index_.find(k);
    if (it != index_.end()) {
        Item& old = items_[it->second];
        old.removed = false;
        old.entry = -1;
        return old;
    }
    index_.emplace(k, items_.size());
    items_.push_back(Item{std::string(withoutSlash(part)), -1, std::nullopt, std::nullopt, false});
    return items_.back();
}

void Package::write(std::string_view part, std::string content) {
    Item& i = itemForWrite(part);
    i.packed.reset();
    i.content = std::move(content);
}

void Package::writeStored(std::string_view part, ZipWriter::Stored stored) {
    Item& i = itemForWrite(part);
    i.content.reset();
    i.packed = std::move(stored);
}

void Package::remove(std::string_view part) {
    if (Item* found = item(part)) {
        found->removed = true;
        found->content.reset();
        found->packed.reset();
    }
}

bool Package::isWritten(std::string_view part) const {
    const Item* found = item(part);
    return found && (found->content.has_value() || found->packed.has_value());
}

std::vector<std::string> Package::partNames() const {
    std::vector<std::string> names;
    for (const Item& i : items_)
        if (!i.removed)
            names.push_back(i.name);
    return names;
}

std::string Package::freeName(std::string_view pattern, int from) const {
    const std::string text(pattern);
    const std::size_t at = text.find("%1");
    for (int n = from;; ++n) {
        std::string candidate = text;
        candidate.replace(at, 2, std::to_string(n));
        if (!contains(candidate))
            return candidate;
    }
}

QByteArray Package::save() const {
    std::vector<const Item*> live;
    for (const Item& i : items_)
        if (!i.removed)
            live.push_back(&i);
    // Pack the written parts side by side; parts packed before and untouched parts go in as they
    // are stored, the untouched ones read one at a time as they are written.
    std::vector<ZipWriter::Stored> packedNow(live.size());
    std::vector<std::size_t> toPack;
    std::uint64_t dataBytes = 0;
    std::uint64_t nameBytes = 0;
    for (std::size_t i = 0; i < live.size(); ++i) {
        nameBytes += live[i]->name.size();
        if (live[i]->content)
            toPack.push_back(i);
        else if (live[i]->packed)
            dataBytes += live[i]->packed->data.size();
        else
            dataBytes += reader_->entries()[std::size_t(live[i]->entry)].compressedSize;
    }
    std::size_t plainBytes = 0;
    for (std::size_t i : toPack)
        plainBytes += live[i]->content->size();
    runParallel(toPack.size(), plainBytes, [&](std::size_t k) {
        const std::size_t i = toPack[k];
        packedNow[i] = ZipWriter::compress(*live[i]->content, kDeflateLevel);
    });
    for (std::size_t i : toPack)
        dataBytes += packedNow[i].data.size();
    ZipWriter writer;
    writer.reserve(ZipWriter::sizeFor(dataBytes, live.size(), nameBytes));
    const std::uint32_t now = ZipWriter::currentDosTime();
    for (std::size_t i = 0; i < live.size(); ++i) {
        const Item& item = *live[i];
        const ZipReader::Entry* entry =
            item.entry < 0 ? nullptr : &reader_->entries()[std::size_t(item.entry)];
        const std::uint32_t time = entry ? entry->dosTime : now;
        if (item.content) {
            writer.add(item.name, packedNow[i], time);
            packedNow[i] = ZipWriter::Stored(); // release as we go
        } else if (item.packed) {
            writer.add(item.name, *item.packed, time);
        } else {
            ZipWriter::Stored facts;
            facts.size = entry->size;
            facts.crc = entry->crc;
            facts.method = entry->method;
            writer.add(item.name, reader_->readStored(*entry), facts, time);
        }
    }
    return writer.finish();
}

} // namespace platform::sheet
