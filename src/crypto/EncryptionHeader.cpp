#include "crypto/EncryptionHeader.h"

#include "crypto/Ciphers.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace varnex::crypto {
namespace {

constexpr std::string_view kAceSignature{"\x00\x01\x00\x00Standard ACE DB\x00", 20};
constexpr size_t kVersionOffset = 0x14;
constexpr uint32_t kAgileReserved = 0x40;

uint16_t u16(std::span<const uint8_t> bytes, size_t at) { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); }

Method methodOf(uint16_t major, uint16_t minor, std::span<const uint8_t> structure)
{
    if (major == 4 && minor == 4)
        return Method::Agile;
    if ((major == 3 || major == 4) && minor == 3)
        return Method::Extensible;
    if (major == 1 && minor == 1)
        return Method::OfficeRc4;
    if (major >= 2 && major <= 4 && minor == 2 && structure.size() >= 8) {
        const uint8_t flags = structure[4];
        if ((flags & kFlagCryptoApi) == 0)
            return Method::Unknown;
        return (flags & kFlagAes) != 0 ? Method::StandardAes : Method::Rc4CryptoApi;
    }
    return Method::Unknown;
}

Status readAgile(std::span<const uint8_t> structure, EncryptionHeader& header)
{
    if (structure.size() < 8)
        return makeError(ErrorCode::EncryptionTruncated);
    if (u16(structure, 4) != kAgileReserved || u16(structure, 6) != 0)
        return makeError(ErrorCode::EncryptionMalformed);
    std::string_view xml(reinterpret_cast<const char*>(structure.data() + 8), structure.size() - 8);
    xml = xml.substr(0, xml.find('\0'));
    auto descriptor = parseAgileDescriptor(xml);
    if (!descriptor)
        return descriptor.error();
    header.agile = std::move(*descriptor);
    return {};
}

Status readRc4(std::span<const uint8_t> structure, EncryptionHeader& header)
{
    auto parsed = parseRc4CryptoApiHeader(structure.subspan(4));
    if (!parsed)
        return parsed.error();
    header.rc4CryptoApi = *parsed;
    return {};
}

}  // namespace

void toggleHeaderScrambling(std::span<uint8_t> page0)
{
    static constexpr uint8_t key[] = {0xC7, 0xDA, 0x39, 0x6B};
    if (page0.size() >= kScrambledOffset + kScrambledLength)
        rc4(key, page0.subspan(kScrambledOffset, kScrambledLength));
}

void clearEncodingKey(std::span<uint8_t> page0)
{
    if (page0.size() < kScrambledOffset + kScrambledLength)
        return;
    toggleHeaderScrambling(page0);
    std::fill_n(page0.begin() + kEncodingKeyOffset, 4, 0);
    toggleHeaderScrambling(page0);
}

Result<EncryptionHeader> readEncryptionHeader(std::span<const uint8_t> page0)
{
    if (page0.size() < kScrambledOffset + kScrambledLength)
        return makeError(ErrorCode::HeaderPageTooShort);
    if (!std::equal(kAceSignature.begin(), kAceSignature.end(), page0.begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }) ||
        page0[kVersionOffset] < 2)
        return makeError(ErrorCode::NotAceDatabase);
    std::vector<uint8_t> plain(page0.begin(), page0.begin() + kScrambledOffset + kScrambledLength);
    toggleHeaderScrambling(plain);
    EncryptionHeader header;
    std::copy_n(plain.begin() + kEncodingKeyOffset, 4, header.encodingKey.begin());
    if (std::all_of(header.encodingKey.begin(), header.encodingKey.end(), [](uint8_t b) { return b == 0; }))
        return header;
    if (page0.size() < kStructureOffset + 4)
        return makeError(ErrorCode::HeaderPageTooShort);
    const size_t length = u16(page0, kStructureLengthOffset);
    if (length < 4 || kStructureOffset + length > page0.size())
        return makeError(ErrorCode::EncryptionTruncated);
    const auto structure = page0.subspan(kStructureOffset, length);
    header.versionMajor = u16(structure, 0);
    header.versionMinor = u16(structure, 2);
    header.method = methodOf(header.versionMajor, header.versionMinor, structure);
    Status read;
    if (header.method == Method::Agile)
        read = readAgile(structure, header);
    else if (header.method == Method::Rc4CryptoApi)
        read = readRc4(structure, header);
    if (!read)
        return read.error();
    return header;
}

std::string methodName(const EncryptionHeader& header)
{
    const std::string version = std::to_string(header.versionMajor) + "." + std::to_string(header.versionMinor);
    switch (header.method) {
    case Method::None: return "no encryption";
    case Method::Agile:
        return "agile encryption (AES-" + std::to_string(header.agile->keyData.keyBits) + ", " +
               std::string(hashAlgorithmName(header.agile->keyData.hash)) + ")";
    case Method::Rc4CryptoApi: return "RC4 CryptoAPI encryption (" + std::to_string(header.rc4CryptoApi->keyBits) + "-bit)";
    case Method::StandardAes: return "standard AES encryption (version " + version + ")";
    case Method::Extensible: return "extensible encryption (version " + version + ")";
    case Method::OfficeRc4: return "Office binary RC4 encryption (version 1.1)";
    case Method::Unknown: break;
    }
    return "encryption version " + version + " (unknown)";
}

}  // namespace varnex::crypto
