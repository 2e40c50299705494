#include "XmlTags.h"

namespace varnex::crypto {
namespace {

constexpr size_t kMaxTags = 256;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isNameChar(char c) { return !isSpace(c) && c != '=' && c != '>' && c != '/' && c != '<' && c != '"' && c != '\''; }

size_t skipSpace(std::string_view text, size_t at)
{
    while (at < text.size() && isSpace(text[at]))
        ++at;
    return at;
}

// Parses the inside of "<name a="1" b='2'/>" (without the angle brackets).
std::optional<XmlTag> parseTag(std::string_view body)
{
    size_t at = 0;
    while (at < body.size() && isNameChar(body[at]))
        ++at;
    if (at == 0)
        return std::nullopt;
    XmlTag tag;
    const std::string_view name = body.substr(0, at);
    const size_t colon = name.rfind(':');
    tag.localName = colon == std::string_view::npos ? name : name.substr(colon + 1);
    while ((at = skipSpace(body, at)) < body.size() && body[at] != '/') {
        const size_t nameStart = at;
        while (at < body.size() && isNameChar(body[at]))
            ++at;
        const std::string_view attribute = body.substr(nameStart, at - nameStart);
        at = skipSpace(body, at);
        if (attribute.empty() || at >= body.size() || body[at] != '=')
            return std::nullopt;
        at = skipSpace(body, at + 1);
        if (at >= body.size() || (body[at] != '"' && body[at] != '\''))
            return std::nullopt;
        const size_t close = body.find(body[at], at + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        tag.attributes.emplace_back(attribute, body.substr(at + 1, close - at - 1));
        at = close + 1;
    }
    return tag;
}

// End of the markup starting at `open`, skipping '>' inside quoted attribute values.
size_t markupEnd(std::string_view xml, size_t open)
{
    char quote = 0;
    for (size_t at = open + 1; at < xml.size(); ++at) {
        const char c = xml[at];
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
            return at;
    }
    return std::string_view::npos;
}

}  // namespace

std::optional<std::string_view> XmlTag::attribute(std::string_view name) const
{
    for (const auto& [key, value] : attributes)
        if (key == name)
            return value;
    return std::nullopt;
}

std::optional<std::vector<XmlTag>> startTags(std::string_view xml)
{
    std::vector<XmlTag> tags;
    size_t at = 0;
    while ((at = xml.find('<', at)) != std::string_view::npos) {
        const size_t end = markupEnd(xml, at);
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view body = xml.substr(at + 1, end - at - 1);
        at = end + 1;
        if (body.empty() || body[0] == '/' || body[0] == '?' || body[0] == '!')
            continue;
        auto tag = parseTag(body);
        if (!tag || tags.size() == kMaxTags)
            return std::nullopt;
        tags.push_back(std::move(*tag));
    }
    return tags;
}

}  // namespace varnex::crypto
