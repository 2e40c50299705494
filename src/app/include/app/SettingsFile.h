#pragma once

#include <QString>

namespace varnex {

// The trimmed value of key in section of file, or defaultValue. When the file is not there,
// an OK box "Could not find '<file>'" is shown and defaultValue comes back untouched.
QString readSetting(const QString& file, const QString& section, const QString& key,
                      const QString& defaultValue);

}  // namespace varnex
