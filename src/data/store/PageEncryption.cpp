#include "data/PageEncryption.h"

#include <string>

namespace varnex {
namespace {

Error undecryptable(const QString& path, const QString& why)
{
    Error error = makeError(ErrorCode::UnreadableEncryption, path);
    error.description = QStringLiteral("The database '%1' cannot be decrypted: %2.").arg(path, why);
    return error;
}

}  // namespace

Result<crypto::PageCipher> unlockPages(const JetHeader& header, const QString& password, const QString& path)
{
    if (!header.encryption) {
        const Error damage = header.encryptionDamage.value_or(makeError(ErrorCode::EncryptionMalformed));
        return undecryptable(path, damage.description);
    }
    auto cipher = crypto::PageCipher::open(*header.encryption, password.toStdU16String());
    if (cipher)
        return std::move(*cipher);
    switch (cipher.error().code) {
    case ErrorCode::BadPassword: return cipher.error();
    case ErrorCode::UnsupportedEncryption:
        return undecryptable(path, QStringLiteral("it uses %1, which cannot be read")
                                       .arg(QString::fromStdString(crypto::methodName(*header.encryption))));
    default: return undecryptable(path, cipher.error().description);
    }
}

}  // namespace varnex
