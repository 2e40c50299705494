#pragma once
// The header page of an Access file: format, version, code page, database
// password and how the other pages are stored, read without the database engine.

#include "core/Error.h"
#include "crypto/EncryptionHeader.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace varnex {

enum class JetFormat { Jet3, Jet4, Ace };

struct JetHeader {
    JetFormat format = JetFormat::Jet4;
    int version = 0;          // the version byte: 0 Jet 3, 1 Jet 4, 2 and above Access 2007 and later
    uint16_t codePage = 0;    // the Windows code page of Jet 3 text
    QString password;         // empty when the database carries none
    // All zero: the pages after the first are stored plain. Otherwise Jet files encode them with this
    // key (RC4) and ACE files encrypt them under the database password.
    std::array<uint8_t, 4> databaseKey{};
    // ACE files with encrypted pages: how they are encrypted, or why that cannot be read.
    std::optional<crypto::EncryptionHeader> encryption;
    std::optional<Error> encryptionDamage;

    bool pagesEncoded() const { return databaseKey != std::array<uint8_t, 4>{}; }
    // Opening the database takes a password: a Jet file's own, or that of an ACE file's encrypted pages.
    bool needsPassword() const { return !password.isEmpty() || (format == JetFormat::Ace && pagesEncoded()); }
};

// Decodes the first page of a file (at least its first 0x80 + header bytes; the whole page where
// an ACE file's pages are encrypted, whose encryption header lies further in).
// Returns nothing for a foreign or truncated header.
std::optional<JetHeader> parseJetHeader(const QByteArray& firstPage);

// Reads and parses the header page of the file at path, with the provider's errors.
Result<JetHeader> readJetHeader(const QString& path);

}  // namespace varnex
