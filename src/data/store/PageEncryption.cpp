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

QString text(std::string_view latin1)
{
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

}  // namespace

Result<crypto::PageCipher> unlockPages(const JetHeader& header, const QString& password, const QString& path)
{
    if (!header.encryption) {
        const crypto::Error damage =
            header.encryptionDamage == crypto::Error::None ? crypto::Error::DescriptorMalformed : header.encryptionDamage;
        return undecryptable(path, text(crypto::errorText(damage)));
    }
    auto cipher = crypto::PageCipher::open(*header.encryption, password.toStdU16String());
    if (cipher)
        return std::move(*cipher);
    switch (cipher.error()) {
    case crypto::Error::WrongPassword: return makeError(ErrorCode::BadPassword);
    case crypto::Error::UnsupportedMethod:
        return undecryptable(path, QStringLiteral("it uses %1, which cannot be read")
                                       .arg(QString::fromStdString(crypto::methodName(*header.encryption))));
    default: return undecryptable(path, text(crypto::errorText(cipher.error())));
    }
}

}  // namespace varnex
