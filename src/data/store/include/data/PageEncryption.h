#pragma once
// Whether a password opens the encrypted pages of an ACE database, with the engine's messages.

#include "core/Error.h"
#include "crypto/PageCipher.h"
#include "data/JetHeader.h"

#include <QString>

namespace varnex {

// The cipher of the pages of an ACE file whose header says they are encrypted (header.encryption or
// header.encryptionDamage set). Errors: BadPassword for a wrong or missing password; UnreadableEncryption
// for a damaged encryption header or a method that cannot be read, which the message names.
Result<crypto::PageCipher> unlockPages(const JetHeader& header, const QString& password, const QString& path);

}  // namespace varnex
