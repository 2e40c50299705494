#include "AttachmentContent.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace varnex::reader {
namespace {

constexpr uint32_t kStored = 0;
constexpr uint32_t kDeflated = 1;
constexpr size_t kWrapper = 8;
constexpr size_t kLeastHeader = 12;
constexpr size_t kInflateStep = 64 * 1024;
// Deflate shrinks bytes to no less than about a thousandth; a length stated beyond that is damage.
constexpr size_t kMostDeflateRatio = 1032;
constexpr size_t kDeflateOverhead = 64;

uint32_t wordAt(std::string_view bytes, size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// Inflates a zlib stream that must give exactly `length` bytes. The room grows as the bytes come,
// so a damaged length cannot claim memory that the stream never fills.
std::optional<std::string> inflated(std::string_view packed, size_t length)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    std::string out;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    int status = Z_OK;
    while (status == Z_OK && out.size() <= length) {
        const size_t done = out.size();
        out.resize(done + std::min(kInflateStep, length - done + 1));
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        stream.avail_out = static_cast<uInt>(out.size() - done);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(out.size() - stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break;  // the stream ends before its end
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END || out.size() != length)
        return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> attachmentFileBytes(std::string_view stored)
{
    if (stored.size() < kWrapper || stored.size() - kWrapper > UINT32_MAX)
        return std::nullopt;
    const uint32_t kind = wordAt(stored, 0);
    const size_t length = wordAt(stored, 4);
    const std::string_view packed = stored.substr(kWrapper);
    std::optional<std::string> content;
    if (kind == kStored && packed.size() == length)
        content = std::string(packed);
    else if (kind == kDeflated && length <= packed.size() * kMostDeflateRatio + kDeflateOverhead)
        content = inflated(packed, length);
    if (!content || content->size() < kLeastHeader)
        return std::nullopt;
    const size_t header = wordAt(*content, 0);
    if (header < kLeastHeader || header > content->size())
        return std::nullopt;
    content->erase(0, header);
    return content;
}

}  // namespace varnex::reader
