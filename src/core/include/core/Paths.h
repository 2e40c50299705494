#pragma once
// Small path operations; the separator is "/".

#include "core/Error.h"

#include <QString>

#include <cstdint>

namespace varnex {

// path with a trailing "/" (unchanged when it has one; "" gives "/").
QString withTrailingSlash(const QString& path);
// True when the directory listing of path (a pattern) with the attribute filter yields a name.
bool fileExists(const QString& path, int16_t attributes);
// An existing folder (with or without trailing "/"), or a file of that name.
bool dirExists(const QString& path);
// Makes every missing folder along path. On failure shows an OK box with the reason and
// returns false.
bool makePath(const QString& path);
// The text up to and including the last "/"; "" when there is none. Error 6 (overflow) when
// a "/" stands at position 32767 or beyond.
Result<QString> folderPart(const QString& fullName);

}  // namespace varnex
