#pragma once
// An attachment's FileData as Access stores it.
//
// A wrapper of two 32-bit words, the content type (0 stored as is, 1 deflated with a zlib header) and
// the content's length before compression, then the content: a header of three 32-bit words (the header's
// length, 1, the file extension's length in characters with its terminating zero), the extension in
// UTF-16LE with that zero, and the file's bytes. This writer deflates every content that deflating makes
// smaller.

#include <cstdint>
#include <string>
#include <vector>

namespace jetwriter {

std::vector<uint8_t> attachmentFileData(const std::string& extension, const std::vector<uint8_t>& bytes);

// "report.final.PDF" -> "PDF"; "" when the name has no extension.
std::string fileExtension(const std::string& name);

}  // namespace jetwriter
