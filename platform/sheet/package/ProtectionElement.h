// A protection element of a part, as its attributes: a worksheet's sheetProtection, the
// workbook's fileSharing (write reservation) and workbookProtection. It tells whether the
// protection is on, checks a password against whichever hash form the element holds, and
// makes new elements with a salted hash.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::sheet {

class ProtectionElement {
public:
    // Reads the raw element; nothing when it cannot be read.
    static std::optional<ProtectionElement> parse(std::string_view raw);

    // A new element named `name` protected by `password` in the salted form (no hash for an
    // empty password), followed by the given attributes.
    static ProtectionElement make(std::string name, const QString& password,
                                  std::vector<std::pair<std::string, std::string>> flags = {});

    const std::string& name() const { return name_; }
    std::string value(std::string_view attribute) const;
    bool flag(std::string_view attribute) const;
    void set(std::string_view attribute, std::string_view value);
    void erase(std::string_view attribute);

    // Whether a password hash is stored (in either form); `legacyName` as above.
    bool hasPassword(std::string_view legacyName = "password") const;
    // An element without a password accepts any password.
    bool verify(const QString& password, std::string_view legacyName = "password") const;

    // The element written out, with the given namespace prefix ("" or "x:").
    std::string element(const std::string& prefix) const;

private:
    std::string name_;
    std::vector<std::pair<std::string, std::string>> attributes_;
};

} // namespace platform::sheet
