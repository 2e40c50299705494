#pragma once
// Makes the pages of a database plain: Jet files encode them under the database key, ACE files with
// encrypted pages encrypt them under the database password. Which of the two, and the password's
// check, come from the header page; how is the crypto library's business and stays behind this class.

#include "core/Error.h"
#include "store/JetHeader.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <span>

namespace varnex {

class PageDecoder {
public:
    // Errors, for an ACE file with encrypted pages: BadPassword for a wrong or missing password;
    // UnreadableEncryption for a damaged encryption header or a method that cannot be read, which the
    // message names (path is the file the message names).
    static Result<PageDecoder> open(const JetHeader& header, const QString& password, const QString& path);

    PageDecoder(PageDecoder&&) noexcept;
    PageDecoder& operator=(PageDecoder&&) noexcept;
    ~PageDecoder();

    // In place, as the page with that number; page 0 gets its encoding key cleared so that a reader of the
    // plain pages applies no decoding of its own. False when an encrypted page cannot be decrypted.
    [[nodiscard]] bool decode(uint32_t pageNumber, std::span<uint8_t> page) const;

private:
    struct Cipher;
    PageDecoder(const JetHeader& header, std::unique_ptr<Cipher> cipher);

    std::array<uint8_t, 4> databaseKey_{};
    std::unique_ptr<Cipher> cipher_;  // an ACE file's encrypted pages; none for Jet's encoding
};

}  // namespace varnex
