#pragma once
// Reading and writing "[Section]" / "Key=Value" settings files in the manner of the
// Windows profile-string functions. File text goes through the locale's code set.

#include <QString>

namespace varnex {

// The value of key in section (names compared without regard to case, blanks around
// them ignored, the first match wins), trimmed, with one pair of enclosing quotes
// removed, cut to 1023 units of the code page. The default (trailing blanks removed)
// when the file, section or key is absent.
QString readProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                const QString& file);

// Sets key=value in section, creating file, section or key as needed. An existing value is
// replaced in its line; every other line, comment, order and line end stays as it was.
// Returns false when the file cannot be written.
bool writeProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& file);

}  // namespace varnex
