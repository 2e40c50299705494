#pragma once

#include <QString>

#include <initializer_list>

namespace varnex {

struct IniEntry {
    QString section;
    QString key;
    QString value;
};

// Writes the entries, in order, to the settings file named by gIniFile. When
// any of them cannot be written the user is told once, with a critical
// message box naming the file. Returns whether every entry was written.
bool StoreSettings(std::initializer_list<IniEntry> entries);

}  // namespace varnex
