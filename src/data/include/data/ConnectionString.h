#pragma once
// The "key=value;key=value" settings of an ADO connection string.

#include <QString>

#include <optional>

namespace varnex {

// The value of key (case-insensitive, blanks around key and value ignored;
// a value may be enclosed in double or single quotes). The last occurrence wins.
std::optional<QString> connectionStringValue(const QString& connectionString, const QString& key);

}  // namespace varnex
