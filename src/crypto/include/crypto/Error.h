#pragma once
// Why an encryption header could not be used: every failure of the library is one of these values.

#include <string_view>

namespace varnex::crypto {

enum class Error {
    None,
    PageTooShort,          // page 0 shorter than the structures it must hold
    NotAceDatabase,        // no "Standard ACE DB" signature: Jet files keep their own scheme
    DescriptorTruncated,   // the encryption structure runs past the page, or is too short for its fields
    DescriptorMalformed,   // the XML descriptor cannot be read
    FieldMissing,          // a required attribute is absent
    BadBase64,
    BadNumber,             // an attribute that must be a decimal number is not
    BadSaltSize,
    BadKeySize,
    BadBlockSize,
    BadHashSize,
    UnsupportedCipher,
    UnsupportedChaining,
    UnsupportedHash,
    UnsupportedMethod,     // a known scheme this library does not implement (see methodName)
    SpinCountTooLarge,     // more hash rounds than any real file uses: treated as damage
    VerifierMalformed,     // encrypted verifier or key of the wrong length
    WrongPassword,
    PageSizeInvalid,       // not a whole number of cipher blocks
    CryptoFailure,         // libcrypto refused an operation
};

// A short English description, e.g. for logs and error dialogs.
std::string_view errorText(Error error);

}  // namespace varnex::crypto
