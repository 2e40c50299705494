#pragma once
// The category of a data-access field type; only text changes how a value is
// written (it is put between double quotes).

#include "store/FieldTypes.h"

#include <cstdint>

namespace varnex {

enum class FieldCategory : int16_t { Numeric = 1, Text = 2, DateTime = 3, Boolean = 4, Other = -1 };

// The category of a field type code as the data-access layer reports it.
FieldCategory fieldCategory(FieldType fieldType);

}  // namespace varnex
