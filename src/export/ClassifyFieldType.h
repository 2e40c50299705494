#pragma once

#include "export/FieldCategory.h"

#include <cstdint>

namespace varnex {

// The category of a field type code as the data-access layer reports it.
FieldCategory ClassifyFieldType(int16_t fieldType);

}  // namespace varnex
