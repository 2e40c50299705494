// libmdb parses the properties of every catalogue entry (MSysObjects.LvProp) while it reads the catalogue,
// trusting every length in them: a chunk of length zero makes it loop for ever, allocating as it goes, and
// lengths running past the value make it read beyond its buffer. It reaches its parser through the dynamic
// linker, so the definition of the same symbol here comes first: it checks the structure and hands only
// sound lists on to libmdb's parser. Damaged lists are left out (as if the entry had no properties) and
// counted, so that the reader can name them. So are lists that give one object the same property twice
// (Access never does): libmdb keeps each object's properties in a table by name and loses the memory of
// a value it replaces, some 16 KiB a time.
#include "reader/PropertyListCheck.h"
#include "reader/LittleEndian.h"

// The C++ headers come first: mdbtools.h includes glib's inside its extern "C" block.
#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <dlfcn.h>
#include <mdbtools.h>

namespace varnex::reader {
namespace {

std::atomic<int64_t> damagedLists{0};
constexpr uint16_t kNames = 0x80;

// The bytes libmdb reads of a value of this type, whatever length the entry gives it; -1 for a type whose
// value libmdb reads from elsewhere than the list (Currency: from its page buffer).
int fixedWidth(uint8_t type)
{
    switch (type) {
    case MDB_BOOL:
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_COMPLEX:
    case MDB_FLOAT:
        return 4;
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    case MDB_REPID:
        return 16;
    case MDB_MONEY:
        return -1;
    default:
        return 0;
    }
}

// The names chunk: 16-bit byte counts, each followed by that many bytes.
bool namesAreSound(const uint8_t* at, size_t size)
{
    size_t pos = 0;
    while (pos < size) {
        if (size - pos < 2)
            return false;
        const size_t length = readU16(at + pos);
        pos += 2;
        if (length > size - pos)
            return false;
        pos += length;
    }
    return true;
}

// One object's properties: a head (its length, then the object's name), then entries of a 16-bit length
// (the entry's, eight bytes of head included), a flag byte, a type, a name index and the value's length.
bool valuesAreSound(const uint8_t* at, size_t size)
{
    if (size < 6)
        return false;
    const size_t nameLength = readU16(at + 4);
    if (nameLength > size - 6)
        return false;
    size_t pos = 6 + nameLength;
    while (pos < size) {
        if (size - pos < 8)
            return false;
        const size_t length = readU16(at + pos);
        const uint8_t type = at[pos + 3];
        const size_t valueLength = readU16(at + pos + 6);
        const int width = fixedWidth(type);
        if (length < 8 || length > size - pos || valueLength > length - 8 || width < 0 ||
            valueLength < static_cast<size_t>(width))
            return false;
        pos += length;
    }
    return true;
}

// The names of a names chunk as libmdb converts them (its text up to the first zero byte).
std::vector<std::string> convertedNames(MdbHandle* mdb, const uint8_t* at, size_t size)
{
    std::vector<std::string> names;
    std::vector<char> converted;
    for (size_t pos = 0; pos < size;) {
        const size_t length = readU16(at + pos);
        pos += 2;
        converted.assign(3 * length + 1, '\0');
        mdb_unicode2ascii(mdb, reinterpret_cast<const char*>(at + pos), length, converted.data(), converted.size());
        names.emplace_back(converted.data());
        pos += length;
    }
    return names;
}

// Whether one object's entries name a property twice, up to the first name index past the names,
// where libmdb stops.
bool valuesRepeatAName(const std::vector<std::string>& names, const uint8_t* at, size_t size)
{
    std::set<std::string_view> seen;
    for (size_t pos = 6 + readU16(at + 4); pos < size; pos += readU16(at + pos)) {
        const size_t index = readU16(at + pos + 4);
        if (index >= names.size())
            return false;
        if (!seen.insert(names[index]).second)
            return true;
    }
    return false;
}

// Of a sound list: whether an object's entries name a property twice, by the names chunk before them
// (entries before any names chunk libmdb passes over).
bool aPropertyRepeats(MdbHandle* mdb, const uint8_t* data, size_t size)
{
    std::vector<std::string> names;
    bool named = false;
    for (size_t pos = 4; pos < size; pos += readU32(data + pos)) {
        const uint16_t kind = readU16(data + pos + 4);
        const uint8_t* body = data + pos + 6;
        const size_t bodySize = readU32(data + pos) - 6;
        if (kind == kNames) {
            names = convertedNames(mdb, body, bodySize);
            named = true;
        } else if (kind <= 2 && named && valuesRepeatAName(names, body, bodySize)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool propertyListIsSound(const uint8_t* data, size_t size)
{
    if (size < 4 || (std::memcmp(data, "KKD", 4) != 0 && std::memcmp(data, "MR2", 4) != 0))
        return false;
    size_t pos = 4;
    while (pos < size) {
        if (size - pos < 6)
            return false;
        const size_t length = readU32(data + pos);
        const uint16_t kind = readU16(data + pos + 4);
        if (length < 6 || length > size - pos)
            return false;
        const uint8_t* body = data + pos + 6;
        const size_t bodySize = length - 6;
        if (kind == kNames && !namesAreSound(body, bodySize))
            return false;
        if (kind <= 2 && !valuesAreSound(body, bodySize))
            return false;
        pos += length;
    }
    return true;
}

int64_t damagedPropertyLists()
{
    return damagedLists.load();
}

}  // namespace varnex::reader

// A libmdb linked statically (the fuzzers' instrumented one) has no parser for the dynamic
// linker to find: its build renames libmdb's own to this.
extern "C" __attribute__((weak)) GPtrArray* mdb_kkd_to_props_builtin(MdbHandle* mdb, void* buffer, size_t len);

// Takes the place of libmdb's parser for the calls libmdb makes itself (see the top of this file).
extern "C" GPtrArray* mdb_kkd_to_props(MdbHandle* mdb, void* buffer, size_t len)
{
    using Parser = GPtrArray* (*)(MdbHandle*, void*, size_t);
    static const auto parse = [] {
        const auto found = reinterpret_cast<Parser>(dlsym(RTLD_NEXT, "mdb_kkd_to_props"));
        return found ? found : &mdb_kkd_to_props_builtin;
    }();
    const auto* list = static_cast<const uint8_t*>(buffer);
    if (!parse || !buffer || !varnex::reader::propertyListIsSound(list, len) || varnex::reader::aPropertyRepeats(mdb, list, len)) {
        ++varnex::reader::damagedLists;
        return nullptr;
    }
    return parse(mdb, buffer, len);
}
