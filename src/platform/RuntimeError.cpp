#include "platform/RuntimeError.h"

#include <cerrno>

namespace varnex {

QString ErrorDescription(int number)
{
    switch (number) {
    case 3: return QStringLiteral("Return without GoSub");
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 55: return QStringLiteral("File already open");
    case 57: return QStringLiteral("Device I/O error");
    case 58: return QStringLiteral("File already exists");
    case 61: return QStringLiteral("Disk full");
    case 62: return QStringLiteral("Input past end of file");
    case 67: return QStringLiteral("Too many files");
    case 68: return QStringLiteral("Device unavailable");
    case 70: return QStringLiteral("Permission denied");
    case 71: return QStringLiteral("Disk not ready");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 94: return QStringLiteral("Invalid use of Null");
    case 429: return QStringLiteral("ActiveX component can't create object");
    case 32755: return QStringLiteral("Cancel was selected.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

Error RuntimeError(int number) { return Error{number, ErrorDescription(number)}; }

Error FileError(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return RuntimeError(err::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return RuntimeError(err::PermissionDenied);
    case ENOSPC:
    case EDQUOT: return RuntimeError(61);
    case EMFILE:
    case ENFILE: return RuntimeError(67);
    case EIO: return RuntimeError(57);
    case ENOMEM: return RuntimeError(7);
    default: return RuntimeError(err::PathFileAccess);
    }
}

}  // namespace varnex
