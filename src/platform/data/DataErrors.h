#pragma once
// The errors of the data-access layer, with the numbers and texts that the
// Jet provider reports through ADO.

#include "platform/Error.h"

#include <QString>

namespace varnex::dataerr {

// Errors raised by the Jet engine itself all arrive under this one number.
inline constexpr int ProviderError = -2147467259;
inline constexpr int ObjectOpen = 3705;

inline Error providerNotFound()
{
    return {err::ProviderNotFound, QStringLiteral("Provider cannot be found. It may not be properly installed.")};
}
inline Error fileNotFound(const QString& path)
{
    return {ProviderError, QStringLiteral("Could not find file '%1'.").arg(path)};
}
inline Error unrecognizedFormat(const QString& path)
{
    return {ProviderError, QStringLiteral("Unrecognized database format '%1'.").arg(path)};
}
inline Error cannotOpenFile(const QString& path)
{
    return {ProviderError, QStringLiteral("The Microsoft Jet database engine cannot open the file '%1'.  "
                                          "It is already opened exclusively by another user, or you need "
                                          "permission to view its data.")
                               .arg(path)};
}
inline Error badAccount()
{
    return {ProviderError, QStringLiteral("Not a valid account name or password.")};
}
inline Error badPassword()
{
    return {ProviderError, QStringLiteral("Not a valid password.")};
}
inline Error objectClosed()
{
    return {err::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed.")};
}
inline Error objectOpen()
{
    return {ObjectOpen, QStringLiteral("Operation is not allowed when the object is open.")};
}
inline Error itemNotFound()
{
    return {err::ItemNotFound,
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal.")};
}
inline Error noCurrentRecord()
{
    return {3021, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                 "Requested operation requires a current record.")};
}
inline Error tableNotFound(const QString& name)
{
    return {ProviderError, QStringLiteral("The Microsoft Jet database engine cannot find the input table or "
                                          "query '%1'.  Make sure it exists and that its name is spelled correctly.")
                               .arg(name)};
}
inline Error connectionClosed()
{
    return {3709, QStringLiteral("The connection cannot be used to perform this operation. It is either closed "
                                 "or invalid in this context.")};
}
inline Error unsupportedSchema()
{
    return {3251, QStringLiteral("Object or provider is not capable of performing requested operation.")};
}

}  // namespace varnex::dataerr
