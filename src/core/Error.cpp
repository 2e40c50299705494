#include "core/Error.h"

#include <cerrno>

namespace varnex {
namespace {

// Errors raised by the database engine all arrive under this one number.
constexpr int kEngineErrorNumber = -2147467259;

struct Known {
    int number;
    const char* text;  // %1 where the error names something
};

Known known(ErrorCode code)
{
    switch (code) {
    case ErrorCode::InvalidCall: return {5, "Invalid procedure call or argument"};
    case ErrorCode::Overflow: return {6, "Overflow"};
    case ErrorCode::OutOfMemory: return {7, "Out of memory"};
    case ErrorCode::TypeMismatch: return {13, "Type mismatch"};
    case ErrorCode::BadFileName: return {52, "Bad file name or number"};
    case ErrorCode::FileNotFound: return {53, "File not found"};
    case ErrorCode::FileAlreadyOpen: return {55, "File already open"};
    case ErrorCode::DeviceIoError: return {57, "Device I/O error"};
    case ErrorCode::DiskFull: return {61, "Disk full"};
    case ErrorCode::TooManyFiles: return {67, "Too many files"};
    case ErrorCode::PermissionDenied: return {70, "Permission denied"};
    case ErrorCode::PathFileAccess: return {75, "Path/File access error"};
    case ErrorCode::PathNotFound: return {76, "Path not found"};
    case ErrorCode::NoObject: return {91, "Object variable or With block variable not set"};
    case ErrorCode::DialogCancelled: return {32755, "Cancel was selected."};
    case ErrorCode::BadArguments:
        return {3001, "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one "
                      "another."};
    case ErrorCode::NoCurrentRecord:
        return {3021, "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
                      "requires a current record."};
    case ErrorCode::ItemNotFound:
        return {3265, "Item cannot be found in the collection corresponding to the requested name or ordinal."};
    case ErrorCode::ObjectClosed: return {3704, "Operation is not allowed when the object is closed."};
    case ErrorCode::ObjectOpen: return {3705, "Operation is not allowed when the object is open."};
    case ErrorCode::ProviderNotFound: return {3706, "Provider cannot be found. It may not be properly installed."};
    case ErrorCode::ConnectionUnusable:
        return {3709, "The connection cannot be used to perform this operation. It is either closed or invalid in "
                      "this context."};
    case ErrorCode::DatabaseNotFound: return {kEngineErrorNumber, "Could not find file '%1'."};
    case ErrorCode::UnrecognizedFormat: return {kEngineErrorNumber, "Unrecognized database format '%1'."};
    case ErrorCode::CannotOpenFile:
        return {kEngineErrorNumber, "The Microsoft Jet database engine cannot open the file '%1'.  It is already "
                                    "opened exclusively by another user, or you need permission to view its data."};
    case ErrorCode::BadAccount: return {kEngineErrorNumber, "Not a valid account name or password."};
    case ErrorCode::BadPassword: return {kEngineErrorNumber, "Not a valid password."};
    case ErrorCode::TableNotFound:
        return {kEngineErrorNumber, "The Microsoft Jet database engine cannot find the input table or query '%1'.  "
                                    "Make sure it exists and that its name is spelled correctly."};
    case ErrorCode::UnreadableEncryption: return {kEngineErrorNumber, "The database '%1' cannot be decrypted."};
    case ErrorCode::HeaderPageTooShort: return {kEngineErrorNumber, "the database definition page is too short"};
    case ErrorCode::NotAceDatabase: return {kEngineErrorNumber, "not an Access 2007 or later database"};
    case ErrorCode::EncryptionTruncated: return {kEngineErrorNumber, "the encryption header is truncated"};
    case ErrorCode::EncryptionMalformed: return {kEngineErrorNumber, "the encryption descriptor is malformed"};
    case ErrorCode::EncryptionFieldMissing:
        return {kEngineErrorNumber, "the encryption descriptor lacks a required field"};
    case ErrorCode::EncryptionBadBase64:
        return {kEngineErrorNumber, "the encryption descriptor holds malformed base64 data"};
    case ErrorCode::EncryptionBadNumber: return {kEngineErrorNumber, "the encryption descriptor holds a malformed number"};
    case ErrorCode::EncryptionBadSaltSize: return {kEngineErrorNumber, "the encryption header has a salt of the wrong size"};
    case ErrorCode::EncryptionBadKeySize: return {kEngineErrorNumber, "the encryption header has an invalid key length"};
    case ErrorCode::EncryptionBadBlockSize:
        return {kEngineErrorNumber, "the encryption header has an invalid cipher block size"};
    case ErrorCode::EncryptionBadHashSize:
        return {kEngineErrorNumber, "the encryption header has a hash size that does not match its algorithm"};
    case ErrorCode::UnsupportedCipher: return {kEngineErrorNumber, "the database uses an unsupported cipher"};
    case ErrorCode::UnsupportedChaining:
        return {kEngineErrorNumber, "the database uses an unsupported cipher chaining mode"};
    case ErrorCode::UnsupportedHash: return {kEngineErrorNumber, "the database uses an unsupported hash algorithm"};
    case ErrorCode::UnsupportedEncryption:
        return {kEngineErrorNumber, "the database uses an unsupported encryption method"};
    case ErrorCode::SpinCountTooLarge:
        return {kEngineErrorNumber, "the encryption header asks for an implausible number of hash rounds"};
    case ErrorCode::VerifierMalformed:
        return {kEngineErrorNumber, "the password verifier in the encryption header is malformed"};
    case ErrorCode::PageSizeInvalid:
        return {kEngineErrorNumber, "the page size is not a whole number of cipher blocks"};
    case ErrorCode::CryptoFailure: return {kEngineErrorNumber, "a cryptographic operation failed"};
    case ErrorCode::ReadStopped: return {kEngineErrorNumber, "The read was stopped."};
    case ErrorCode::ReadFailed: return {kEngineErrorNumber, "The database could not be read."};
    case ErrorCode::Count: break;
    }
    return {kEngineErrorNumber, "Unknown error"};
}

}  // namespace

int errorNumber(ErrorCode code)
{
    return known(code).number;
}

Error makeError(ErrorCode code, const QString& argument)
{
    QString text = QString::fromLatin1(known(code).text);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(argument);
    return Error{code, text};
}

Error fileError(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return makeError(ErrorCode::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return makeError(ErrorCode::PermissionDenied);
    case ENOSPC:
    case EDQUOT: return makeError(ErrorCode::DiskFull);
    case EMFILE:
    case ENFILE: return makeError(ErrorCode::TooManyFiles);
    case EIO: return makeError(ErrorCode::DeviceIoError);
    case ENOMEM: return makeError(ErrorCode::OutOfMemory);
    default: return makeError(ErrorCode::PathFileAccess);
    }
}

}  // namespace varnex
