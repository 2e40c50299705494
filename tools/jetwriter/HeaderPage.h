#pragma once
// Page 0: the database definition page.

#include "crypto/NewEncryption.h"
#include "jetwriter/FormatInfo.h"

#include <optional>
#include <string>
#include <vector>

namespace jetwriter {

// Throws std::runtime_error when the password is longer than 20 characters. `encryption`: an encrypted
// ACE file's encoding key and encryption structure; `encodingKey`: the database key of a Jet file whose
// pages are encoded.
std::vector<uint8_t> buildHeaderPage(const FormatInfo& info, double created, const std::optional<std::string>& password,
                                     const varnex::crypto::NewEncryption* encryption = nullptr, uint32_t encodingKey = 0);

}  // namespace jetwriter
