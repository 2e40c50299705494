#include "jetwriter/AttachmentData.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/TextCodec.h"

namespace jetwriter {

std::vector<uint8_t> attachmentFileData(const std::string& extension, const std::vector<uint8_t>& bytes)
{
    const std::u16string type = utf8ToUtf16(extension) + u'\0';
    const auto headerLength = static_cast<uint32_t>(12 + 2 * type.size());
    std::vector<uint8_t> out;
    appendU32(out, 0);
    appendU32(out, static_cast<uint32_t>(headerLength + bytes.size()));
    appendU32(out, headerLength);
    appendU32(out, 1);
    appendU32(out, static_cast<uint32_t>(type.size()));
    for (char16_t c : type)
        appendU16(out, c);
    appendBytes(out, bytes.data(), bytes.size());
    return out;
}

std::string fileExtension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace jetwriter
