#pragma once
// The properties of a catalogue entry as libmdb parses them, checked before it does (see the source file).

#include <cstddef>
#include <cstdint>

namespace varnex::reader {

// Whether libmdb can parse this property list without reading past it or looping.
bool propertyListIsSound(const uint8_t* data, size_t size);

// The property lists left out as damaged since the process started.
int64_t damagedPropertyLists();

}  // namespace varnex::reader
