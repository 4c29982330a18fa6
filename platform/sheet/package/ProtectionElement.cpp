// Protection elements: sheetProtection, fileSharing, workbookProtection.
#include "platform/sheet/package/ProtectionElement.h"

#include "platform/sheet/package/PasswordHash.h"
#include "platform/sheet/package/XmlText.h"

#include <pugixml.hpp>

namespace platform::sheet {

std::optional<ProtectionElement> ProtectionElement::parse(std::string_view raw) {
    pugi::xml_document doc;
    if (!doc.load_buffer(raw.data(), raw.size()) || !doc.document_element())
        return std::nullopt;
    ProtectionElement element;
    element.name_ = XmlText::localName(doc.document_element().name());
    for (const pugi::xml_attribute& a : doc.document_element().attributes())
        element.attributes_.emplace_back(a.name(), a.value());
    return element;
}

ProtectionElement ProtectionElement::make(std::string name, const QString& password,
                                          std::vector<std::pair<std::string, std::string>> flags) {
    ProtectionElement element;
    element.name_ = std::move(name);
    if (!password.isEmpty()) {
        const PasswordHash::Salted salted = PasswordHash::make(password);
        element.attributes_.emplace_back("algorithmName", XmlText::toUtf8(salted.algorithm));
        element.attributes_.emplace_back("hashValue", salted.hash.toStdString());
        element.attributes_.emplace_back("saltValue", salted.salt.toStdString());
        element.attributes_.emplace_back("spinCount", std::to_string(salted.spinCount));
    }
    for (auto& f : flags)
        element.attributes_.push_back(std::move(f));
    return element;
}

std::string ProtectionElement::value(std::string_view attribute) const {
    for (const auto& [n, v] : attributes_)
        if (n == attribute)
            return v;
    return {};
}

bool ProtectionElement::flag(std::string_view attribute) const {
    return XmlText::isTrue(value(attribute).c_str());
}

void ProtectionElement::set(std::string_view attribute, std::string_view value) {
    for (auto& [n, v] : attributes_) {
        if (n == attribute) {
            v = std::string(value);
            return;
        }
    }
    attributes_.emplace_back(std::string(attribute), std::string(value));
}

void ProtectionElement::erase(std::string_view attribute) {
    std::erase_if(attributes_, [&](const auto& a) { return a.first == attribute; });
}

bool ProtectionElement::hasPassword(std::string_view legacyName) const {
    return !value(legacyName).empty() || !value("hashValue").empty();
}

bool ProtectionElement::verify(const QString& password, std::string_view legacyName) const {
    const std::string hash = value("hashValue");
    if (!hash.empty()) {
        PasswordHash::Salted stored;
        stored.algorithm = QString::fromStdString(value("algorithmName"));
        stored.hash = QByteArray::fromStdString(hash);
        stored.salt = QByteArray::fromStdString(value("saltValue"));
        stored.spinCount = std::uint32_t(std::strtoul(value("spinCount").c_str(), nullptr, 10));
        return PasswordHash::verify(password, stored);
    }
    const std::string legacy = value(legacyName);
    if (!legacy.empty())
        return PasswordHash::verifyLegacy(password, QString::fromStdString(legacy));
    return true;
}

std::string ProtectionElement::element(const std::string& prefix) const {
    std::string out = "<" + prefix + name_;
    for (const auto& [n, v] : attributes_) {
        out += ' ' + n + "=\"";
        XmlText::appendEscaped(out, v, true);
        out += '"';
    }
    out += "/>";
    return out;
}

} // namespace platform::sheet
