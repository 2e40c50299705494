#include "jetwriter/HeaderPage.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/TextCodec.h"

#include "crypto/Ciphers.h"

#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace jetwriter {
namespace {

// Header layout (offsets in page 0):
//   0x00  00 01 00 00 "Standard Jet DB" 00 ("Standard ACE DB" for .accdb)
//   0x14  version: 0 = Jet 3, 1 = Jet 4, 2 = Access 2007, 3 = Access 2010
//   0x18  start of the region Access scrambles with RC4, key C7 DA 39 6B (0x6B39DAC7 little-endian),
//         126 bytes long in Jet 3 and 128 bytes in Jet 4; every field below lies inside it and is
//         given here as it reads after unscrambling.
//   0x3A  Jet 3 sort order (2 bytes, 0x0409 General)    0x3C  code page (1252)
//   0x3E  database key (4 bytes; 0 = pages are not encrypted); in an encrypted ACE file the encoding key,
//         with the encryption structure at 0x299 outside the scrambled region (see crypto/EncryptionHeader.h)
//   0x42  password: Jet 3 20 bytes in the code page; Jet 4 40 bytes UCS-2 LE, each byte XORed with
//         byte (i % 4) of the creation date's whole days as a little-endian int32 (trunc of 0x72)
//   0x6E  Jet 4 sort order (0x0409, version 0)          0x72  Jet 4 creation date (double, days)
constexpr size_t kVersionOffset = 0x14;
constexpr size_t kScrambledOffset = 0x18;
constexpr size_t kJet3SortOrderOffset = 0x3A;
constexpr size_t kCodePageOffset = 0x3C;
constexpr size_t kDatabaseKeyOffset = 0x3E;
constexpr size_t kPasswordOffset = 0x42;
constexpr size_t kJet4SortOrderOffset = 0x6E;
constexpr size_t kCreationDateOffset = 0x72;
constexpr std::array<uint8_t, 4> kHeaderKey = {0xC7, 0xDA, 0x39, 0x6B};
constexpr uint16_t kCodePage1252 = 1252;
constexpr uint16_t kGeneralSortOrder = 0x0409;
constexpr size_t kMaxPasswordChars = 20;

std::array<uint8_t, 4> passwordMask(double created)
{
    const auto days = static_cast<uint32_t>(static_cast<int32_t>(std::trunc(created)));
    return {static_cast<uint8_t>(days), static_cast<uint8_t>(days >> 8), static_cast<uint8_t>(days >> 16),
            static_cast<uint8_t>(days >> 24)};
}

void putPassword(const FormatInfo& info, double created, const std::string& password, uint8_t* page)
{
    const std::u16string text = utf8ToUtf16(password);
    if (text.size() > kMaxPasswordChars)
        throw std::runtime_error("database password longer than 20 characters");
    uint8_t* field = page + kPasswordOffset;
    if (!info.jet4) {
        const auto bytes = toCp1252(text);
        std::memcpy(field, bytes.data(), bytes.size());
        return;
    }
    const auto mask = passwordMask(created);
    for (size_t i = 0; i < kMaxPasswordChars; ++i) {
        const char16_t c = i < text.size() ? text[i] : 0;
        field[2 * i] = static_cast<uint8_t>(c) ^ mask[(2 * i) % 4];
        field[2 * i + 1] = static_cast<uint8_t>(c >> 8) ^ mask[(2 * i + 1) % 4];
    }
}

}  // namespace

std::vector<uint8_t> buildHeaderPage(const FormatInfo& info, double created, const std::optional<std::string>& password,
                                     const varnex::crypto::NewEncryption* encryption, uint32_t encodingKey)
{
    std::vector<uint8_t> page(info.pageSize, 0);
    static const char magic[] = "\x00\x01\x00\x00Standard Jet DB";
    static const char aceMagic[] = "\x00\x01\x00\x00Standard ACE DB";
    std::memcpy(page.data(), info.ace ? aceMagic : magic, sizeof magic);
    page[kVersionOffset] = info.versionByte;
    // Access writes these words at the start of the scrambled region in every new file.
    static const uint8_t leading[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                      0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    std::memcpy(page.data() + kScrambledOffset, leading, sizeof leading);
    putU16(page.data() + kCodePageOffset, kCodePage1252);
    if (info.jet4) {
        putU16(page.data() + kJet4SortOrderOffset, kGeneralSortOrder);
        std::memcpy(page.data() + kCreationDateOffset, &created, sizeof created);
        // An encrypted ACE file keeps its password only in the encryption structure.
        putPassword(info, created, encryption ? std::string() : password.value_or(std::string()), page.data());
        if (encryption && !varnex::crypto::installEncryption(page, *encryption))
            throw std::runtime_error("encryption header does not fit page 0");
    } else {
        page[0x38] = 0x01;
        putU16(page.data() + kJet3SortOrderOffset, kGeneralSortOrder);
        if (password)
            putPassword(info, created, *password, page.data());
    }
    if (!info.ace && encodingKey != 0)
        putU32(page.data() + kDatabaseKeyOffset, encodingKey);
    const size_t scrambled = info.jet4 ? 128 : 126;
    varnex::crypto::rc4(kHeaderKey, std::span<uint8_t>(page.data() + kScrambledOffset, scrambled));
    return page;
}

}  // namespace jetwriter
