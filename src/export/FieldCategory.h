#pragma once
// The category of a data-access field type; only text changes how a value is
// written (it is put between double quotes).

#include <cstdint>

namespace varnex {

using FieldCategory = int16_t;

namespace fieldCategory {
inline constexpr FieldCategory Numeric = 1;
inline constexpr FieldCategory Text = 2;
inline constexpr FieldCategory DateTime = 3;
inline constexpr FieldCategory Boolean = 4;
inline constexpr FieldCategory Other = -1;
}  // namespace fieldCategory

}  // namespace varnex
