#pragma once
// The header page of an Access file: format, version, code page and database
// password, read without the database engine.

#include "core/Error.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace varnex {

enum class JetFormat { Jet3, Jet4, Ace };

struct JetHeader {
    JetFormat format = JetFormat::Jet4;
    int version = 0;          // the version byte: 0 Jet 3, 1 Jet 4, 2 and above Access 2007 and later
    uint16_t codePage = 0;    // the Windows code page of Jet 3 text
    QString password;         // empty when the database carries none
};

// Decodes the first page of a file (at least its first 0x80 + header bytes).
// Returns nothing for a foreign or truncated header.
std::optional<JetHeader> parseJetHeader(const QByteArray& firstPage);

// Reads and parses the header page of the file at path, with the provider's errors.
Result<JetHeader> readJetHeader(const QString& path);

}  // namespace varnex
