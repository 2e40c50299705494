#pragma once
// Page 0: the database definition page.

#include "jetwriter/FormatInfo.h"

#include <optional>
#include <string>
#include <vector>

namespace jetwriter {

// Throws std::runtime_error when the password is longer than 20 characters.
std::vector<uint8_t> buildHeaderPage(const FormatInfo& info, double created, const std::optional<std::string>& password);

}  // namespace jetwriter
