#pragma once
// Just enough XML for the encryption descriptor: the start tags in document order with their attributes.

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace varnex::crypto {

struct XmlTag {
    std::string_view localName;  // without a namespace prefix
    std::vector<std::pair<std::string_view, std::string_view>> attributes;

    std::optional<std::string_view> attribute(std::string_view name) const;
};

// End tags, comments and declarations are skipped; entity references stay as written.
// nullopt for an unterminated tag or quote, or more tags than a descriptor can sensibly have.
std::optional<std::vector<XmlTag>> startTags(std::string_view xml);

}  // namespace varnex::crypto
