#include "jetwriter/AttachmentData.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/TextCodec.h"

#include <zlib.h>

#include <stdexcept>

namespace jetwriter {

namespace {

constexpr uint32_t kStored = 0;
constexpr uint32_t kDeflated = 1;

// The content deflated with a zlib header; empty where that does not make it smaller.
std::vector<uint8_t> deflated(const std::vector<uint8_t>& content)
{
    uLongf size = compressBound(static_cast<uLong>(content.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, content.data(), static_cast<uLong>(content.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("cannot compress an attachment");
    if (size >= content.size())
        return {};
    out.resize(size);
    return out;
}

}  // namespace

std::vector<uint8_t> attachmentFileData(const std::string& extension, const std::vector<uint8_t>& bytes)
{
    const std::u16string type = utf8ToUtf16(extension) + u'\0';
    const auto headerLength = static_cast<uint32_t>(12 + 2 * type.size());
    std::vector<uint8_t> content;
    appendU32(content, headerLength);
    appendU32(content, 1);
    appendU32(content, static_cast<uint32_t>(type.size()));
    for (char16_t c : type)
        appendU16(content, c);
    appendBytes(content, bytes.data(), bytes.size());
    const std::vector<uint8_t> packed = deflated(content);
    std::vector<uint8_t> out;
    appendU32(out, packed.empty() ? kStored : kDeflated);
    appendU32(out, static_cast<uint32_t>(content.size()));
    const std::vector<uint8_t>& stored = packed.empty() ? content : packed;
    appendBytes(out, stored.data(), stored.size());
    return out;
}

std::string fileExtension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace jetwriter
