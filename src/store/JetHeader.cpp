#include "store/JetHeader.h"

#include "core/ByteText.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "crypto/Ciphers.h"
#include "store/CodePage.h"

#include <QFile>

#include <sys/stat.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace varnex {
namespace {

constexpr int kVersionOffset = 0x14;
constexpr int kScrambledOffset = 0x18;
constexpr int kCodePageOffset = 0x3C;
constexpr int kDatabaseKeyOffset = 0x3E;
constexpr int kPasswordOffset = 0x42;
constexpr int kCreationDateOffset = 0x72;
constexpr int kJet3ScrambledLength = 126;
constexpr int kJet4ScrambledLength = 128;
constexpr int kJet3PasswordLength = 20;
constexpr int kJet4PasswordLength = 40;
constexpr std::array<uint8_t, 4> kHeaderKey = {0xC7, 0xDA, 0x39, 0x6B};
constexpr int kHeaderBytesNeeded = kScrambledOffset + kJet4ScrambledLength;
constexpr qint64 kLargestPage = 4096;

uint16_t ReadU16(const QByteArray& page, int offset)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(page[offset]) | (static_cast<uint8_t>(page[offset + 1]) << 8));
}

std::optional<JetFormat> formatOf(const QByteArray& page, int version)
{
    // Twenty bytes: the signature and the zero byte that ends it.
    static constexpr char jetMagic[] = "\x00\x01\x00\x00Standard Jet DB";
    static constexpr char aceMagic[] = "\x00\x01\x00\x00Standard ACE DB";
    const QByteArrayView start(page.constData(), sizeof jetMagic);
    const bool isJet = start == QByteArrayView(jetMagic, sizeof jetMagic);
    const bool isAce = start == QByteArrayView(aceMagic, sizeof aceMagic);
    if (isJet && version == 0)
        return JetFormat::Jet3;
    if (isJet && version == 1)
        return JetFormat::Jet4;
    if (isAce && version >= 2 && version <= 6)
        return JetFormat::Ace;
    return std::nullopt;
}

// Jet 4 and later mask the password with the creation date's whole days.
std::array<uint8_t, 4> PasswordMask(const QByteArray& page)
{
    double date = 0;
    std::memcpy(&date, page.constData() + kCreationDateOffset, sizeof date);
    int32_t days = 0;
    if (std::isfinite(date) && date > std::numeric_limits<int32_t>::min() && date < std::numeric_limits<int32_t>::max())
        days = static_cast<int32_t>(date);
    const auto u = static_cast<uint32_t>(days);
    return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)};
}

QString jet3Password(const QByteArray& page, uint16_t codePage)
{
    const char* bytes = page.constData() + kPasswordOffset;
    const size_t length = strnlen(bytes, kJet3PasswordLength);
    return decodeCodePage(makeCodePageTable(codePage), bytes, length);
}

QString jet4Password(const QByteArray& page)
{
    const auto mask = PasswordMask(page);
    QString password;
    for (int i = 0; i < kJet4PasswordLength; i += 2) {
        const auto lo = static_cast<uint8_t>(page[kPasswordOffset + i] ^ mask[static_cast<size_t>(i) % 4]);
        const auto hi = static_cast<uint8_t>(page[kPasswordOffset + i + 1] ^ mask[static_cast<size_t>(i + 1) % 4]);
        const auto unit = static_cast<char16_t>(lo | (hi << 8));
        if (unit == 0)
            break;
        password.append(QChar(unit));
    }
    return password;
}

}  // namespace

std::optional<JetHeader> parseJetHeader(const QByteArray& firstPage)
{
    if (firstPage.size() < kHeaderBytesNeeded)
        return std::nullopt;
    const int version = static_cast<uint8_t>(firstPage[kVersionOffset]);
    const auto format = formatOf(firstPage, version);
    if (!format)
        return std::nullopt;

    QByteArray page = firstPage.left(kHeaderBytesNeeded);
    const int scrambled = *format == JetFormat::Jet3 ? kJet3ScrambledLength : kJet4ScrambledLength;
    crypto::rc4(kHeaderKey, std::span<uint8_t>(reinterpret_cast<uint8_t*>(page.data()) + kScrambledOffset,
                                            static_cast<size_t>(scrambled)));
    JetHeader header;
    header.format = *format;
    header.version = version;
    header.codePage = ReadU16(page, kCodePageOffset);
    header.password = *format == JetFormat::Jet3 ? jet3Password(page, header.codePage) : jet4Password(page);
    std::memcpy(header.databaseKey.data(), page.constData() + kDatabaseKeyOffset, header.databaseKey.size());
    if (*format == JetFormat::Ace && header.pagesEncoded()) {
        // The encryption structure holds the password's verifier; it is all the password there is.
        header.password.clear();
        header.firstPage = firstPage;
    }
    return header;
}

Result<JetHeader> readJetHeader(const QString& path)
{
    struct stat status {};
    if (path.isEmpty() || stat(textToBytes(path).constData(), &status) != 0 || S_ISDIR(status.st_mode))
        return makeError(ErrorCode::DatabaseNotFound, path);
    QFile file;
    if (!openForReading(file, path))
        return makeError(ErrorCode::CannotOpenFile, path);
    const QByteArray firstPage = file.read(kLargestPage);
    // A database is at least a header page and a catalogue page long.
    const qint64 minimumSize = 2 * 2048;
    auto header = parseJetHeader(firstPage);
    if (!header || file.size() < minimumSize * (header->format == JetFormat::Jet3 ? 1 : 2))
        return makeError(ErrorCode::UnrecognizedFormat, path);
    return *header;
}

}  // namespace varnex
