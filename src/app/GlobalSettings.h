#pragma once
// The process-wide settings, read from Setup.ini by InitGlobals.

#include <QString>

#include <cstdint>
#include <memory>

namespace varnex {

class Connection;

struct GlobalSettings {
    QString gIniFile;    // the application folder, "/" and "Setup.ini"
    QString gLogDir;     // folder of the daily log files
    QString gDataPath;   // the database file; empty when none is configured or it is missing
    QString gUser;
    QString gPassword;   // plain text, as stored
    int16_t gIncHeader = 0;  // -1 (True): exports begin with a header line
    std::shared_ptr<Connection> gConn;  // the shared connection, or none
};

GlobalSettings& Globals();

}  // namespace varnex
