#pragma once

#include <QString>

#include <initializer_list>

namespace varnex {

struct SettingEntry {
    QString section;
    QString key;
    QString value;
};

// Writes the entries, in order, to the settings file named by iniFile. When
// any of them cannot be written the user is told once, with a critical
// message box naming the file. Returns whether every entry was written.
bool storeSettings(std::initializer_list<SettingEntry> entries);

}  // namespace varnex
