#include "crypto/Error.h"

namespace varnex::crypto {

std::string_view errorText(Error error)
{
    switch (error) {
    case Error::None: return "no error";
    case Error::PageTooShort: return "the database definition page is too short";
    case Error::NotAceDatabase: return "not an Access 2007 or later database";
    case Error::DescriptorTruncated: return "the encryption header is truncated";
    case Error::DescriptorMalformed: return "the encryption descriptor is malformed";
    case Error::FieldMissing: return "the encryption descriptor lacks a required field";
    case Error::BadBase64: return "the encryption descriptor holds malformed base64 data";
    case Error::BadNumber: return "the encryption descriptor holds a malformed number";
    case Error::BadSaltSize: return "the encryption header has a salt of the wrong size";
    case Error::BadKeySize: return "the encryption header has an invalid key length";
    case Error::BadBlockSize: return "the encryption header has an invalid cipher block size";
    case Error::BadHashSize: return "the encryption header has a hash size that does not match its algorithm";
    case Error::UnsupportedCipher: return "the database uses an unsupported cipher";
    case Error::UnsupportedChaining: return "the database uses an unsupported cipher chaining mode";
    case Error::UnsupportedHash: return "the database uses an unsupported hash algorithm";
    case Error::UnsupportedMethod: return "the database uses an unsupported encryption method";
    case Error::SpinCountTooLarge: return "the encryption header asks for an implausible number of hash rounds";
    case Error::VerifierMalformed: return "the password verifier in the encryption header is malformed";
    case Error::WrongPassword: return "Not a valid password.";
    case Error::PageSizeInvalid: return "the page size is not a whole number of cipher blocks";
    case Error::CryptoFailure: return "a cryptographic operation failed";
    }
    return "unknown error";
}

}  // namespace varnex::crypto
