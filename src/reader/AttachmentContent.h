#pragma once
// An attachment's file as Access stores it in the FileData column of an attachment column's hidden
// table: two 32-bit words, how the content is stored (0 as it is, 1 deflated with a zlib header) and
// the content's length, then the content: a header (its own length in its first 32-bit word; then
// the file's extension in UTF-16) followed by the file's bytes.

#include <optional>
#include <string>
#include <string_view>

namespace varnex::reader {

// The file's bytes; nothing where the stored value is damaged (cut short, of an unknown kind, or
// inflating to other than its stated length).
std::optional<std::string> attachmentFileBytes(std::string_view stored);

}  // namespace varnex::reader
