#pragma once
// The process-wide settings, read from Setup.ini by loadSettings. The log folder
// is kept by the log itself (setLogFolder).

#include <QString>

#include <memory>

namespace varnex {

class Connection;

struct AppSettings {
    QString iniFile;     // the application folder, "/" and "Setup.ini"
    QString dataPath;    // the database file; empty when none is configured or it is missing
    QString user;
    QString password;    // plain text, as stored
    bool includeHeader = false;  // exports begin with a header line
    std::shared_ptr<Connection> connection;  // the shared connection, or none
};

AppSettings& appSettings();

// Closes the shared connection, if open, and lets it go.
void releaseConnection();

}  // namespace varnex
