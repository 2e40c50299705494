#include "store/PageDecoder.h"

#include "crypto/EncryptionHeader.h"
#include "crypto/JetPageEncoding.h"
#include "crypto/PageCipher.h"

#include <string>
#include <utility>

namespace varnex {

struct PageDecoder::Cipher {
    crypto::PageCipher pages;
};

namespace {

Error undecryptable(const QString& path, const QString& why)
{
    Error error = makeError(ErrorCode::UnreadableEncryption, path);
    error.description = QStringLiteral("The database '%1' cannot be decrypted: %2.").arg(path, why);
    return error;
}

std::span<const uint8_t> bytesOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

}  // namespace

Result<PageDecoder> PageDecoder::open(const JetHeader& header, const QString& password, const QString& path)
{
    if (header.format != JetFormat::Ace || !header.pagesEncoded())
        return PageDecoder(header, nullptr);
    auto encryption = crypto::readEncryptionHeader(bytesOf(header.firstPage));
    if (!encryption)
        return undecryptable(path, encryption.error().description);
    auto cipher = crypto::PageCipher::open(*encryption, password.toStdU16String());
    if (cipher)
        return PageDecoder(header, std::make_unique<Cipher>(Cipher{std::move(*cipher)}));
    switch (cipher.error().code) {
    case ErrorCode::BadPassword: return cipher.error();
    case ErrorCode::UnsupportedEncryption:
        return undecryptable(path, QStringLiteral("it uses %1, which cannot be read")
                                       .arg(QString::fromStdString(crypto::methodName(*encryption))));
    default: return undecryptable(path, cipher.error().description);
    }
}

PageDecoder::PageDecoder(const JetHeader& header, std::unique_ptr<Cipher> cipher)
    : databaseKey_(header.databaseKey), cipher_(std::move(cipher))
{
}

PageDecoder::PageDecoder(PageDecoder&&) noexcept = default;
PageDecoder& PageDecoder::operator=(PageDecoder&&) noexcept = default;
PageDecoder::~PageDecoder() = default;

bool PageDecoder::decode(uint32_t pageNumber, std::span<uint8_t> page) const
{
    if (pageNumber == 0) {
        crypto::clearEncodingKey(page);
        return true;
    }
    if (cipher_)
        return cipher_->pages.decryptPage(pageNumber, page).ok();
    crypto::applyJetPageEncoding(databaseKey_, pageNumber, page);
    return true;
}

}  // namespace varnex
