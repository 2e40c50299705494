#pragma once
// Errors travel as values until they reach the handler that reports them. Each
// has a named code; the number shown beside its text (the start-up failure line
// of the log, for one) comes from the code.

#include <QString>

#include <cassert>
#include <cstdint>
#include <utility>
#include <variant>

namespace varnex {

enum class ErrorCode : uint16_t {
    // Failures of the program's own operations and of the file system.
    InvalidCall,        // 5: a call that cannot be made now, e.g. no running instance to ask
    Overflow,           // 6: a position beyond 16 bits
    OutOfMemory,        // 7
    TypeMismatch,       // 13: text that is no Boolean
    BadFileName,        // 52
    FileNotFound,       // 53
    FileAlreadyOpen,    // 55
    DeviceIoError,      // 57
    DiskFull,           // 61
    TooManyFiles,       // 67
    PermissionDenied,   // 70
    PathFileAccess,     // 75
    PathNotFound,       // 76
    NoObject,           // 91: no connection or no shown recordset
    DialogCancelled,    // 32755
    // The data-access objects.
    BadArguments,       // 3001: e.g. text that is no sort specification
    NoCurrentRecord,    // 3021
    ItemNotFound,       // 3265
    ObjectClosed,       // 3704
    ObjectOpen,         // 3705
    ProviderNotFound,   // 3706
    ConnectionUnusable, // 3709
    // The database engine; all of these are reported under one number.
    DatabaseNotFound,
    UnrecognizedFormat,
    CannotOpenFile,
    BadAccount,
    BadPassword,
    TableNotFound,
    UnreadableEncryption, // encrypted pages whose encryption header is damaged or of a method not read
    // Why the encryption of an Access 2007+ file cannot be used (a wrong password is BadPassword);
    // the engine reports these inside UnreadableEncryption.
    HeaderPageTooShort,     // page 0 shorter than the structures it must hold
    NotAceDatabase,         // no "Standard ACE DB" signature: Jet files keep their own scheme
    EncryptionTruncated,    // the encryption structure runs past the page, or is too short for its fields
    EncryptionMalformed,    // the XML descriptor cannot be read
    EncryptionFieldMissing, // a required attribute is absent
    EncryptionBadBase64,
    EncryptionBadNumber,    // an attribute that must be a decimal number is not
    EncryptionBadSaltSize,
    EncryptionBadKeySize,
    EncryptionBadBlockSize,
    EncryptionBadHashSize,
    UnsupportedCipher,
    UnsupportedChaining,
    UnsupportedHash,
    UnsupportedEncryption,  // a known scheme that is not implemented (crypto::methodName names it)
    SpinCountTooLarge,      // more hash rounds than any real file uses: taken as damage
    VerifierMalformed,      // encrypted verifier or key of the wrong length
    PageSizeInvalid,        // not a whole number of cipher blocks
    CryptoFailure,          // libcrypto refused an operation
    ReadStopped,        // whoever received the rows stopped the read
    ReadFailed,         // the reader process failed, stalled or was ended
    Count,              // not a code: how many codes there are
};

// The reader protocol takes a code number at or above Count as damage; ReadFailed closes the list of
// codes so that a code added later cannot slip in after it unnoticed.
static_assert(static_cast<int>(ErrorCode::ReadFailed) + 1 == static_cast<int>(ErrorCode::Count),
              "ReadFailed must be the last error code");

// The number the code is known by where errors are shown with numbers.
int errorNumber(ErrorCode code);

struct Error {
    ErrorCode code{};
    QString description;

    int number() const { return errorNumber(code); }
    friend bool operator==(const Error&, const Error&) = default;
};

// The error with its standard description; where that names something (a file,
// a table), argument fills it in.
Error makeError(ErrorCode code, const QString& argument = {});

// The error for a failed file operation with the C library's errno value.
Error fileError(int errnoValue);

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Error error) : v_(std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { assert(ok()); return std::get<0>(v_); }
    const T& value() const& { assert(ok()); return std::get<0>(v_); }
    T&& value() && { assert(ok()); return std::get<0>(std::move(v_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const { assert(!ok()); return std::get<1>(v_); }

private:
    std::variant<T, Error> v_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { assert(failed_); return error_; }

private:
    Error error_;
    bool failed_ = false;
};

using Status = Result<void>;

}  // namespace varnex
