#pragma once
// Small path operations; the separator is "/".

#include "core/Error.h"
#include "core/FileSystem.h"

#include <QString>

namespace varnex {

// path with a trailing "/" (unchanged when it has one; "" gives "/").
QString withTrailingSlash(const QString& path);
// An existing folder (with or without trailing "/"), or a file of that name.
bool dirExists(const QString& path);
// Makes every missing folder along path; a path that does not end in "/" names a folder that
// must not exist yet. The failure says which folder could not be made and why.
Status makePath(const QString& path);
// The text up to and including the last "/"; "" when there is none.
QString folderPart(const QString& fullName);

}  // namespace varnex
