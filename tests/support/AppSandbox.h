#pragma once
// A throw-away application folder for tests of settings and the log: the
// application folder points at a temporary folder that holds Setup.ini and the
// log (whatever layout the build chose), the clock is fixed, and the settings and
// the log folder start empty.

#include "support/TempDir.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace varnex::test {

class AppSandbox {
public:
    // now: the local date and time the program sees.
    explicit AppSandbox(QDateTime now = QDateTime(QDate(2002, 7, 3), QTime(9, 5, 3)));
    ~AppSandbox();
    AppSandbox(const AppSandbox&) = delete;
    AppSandbox& operator=(const AppSandbox&) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.file(name); }

    void setNow(const QDateTime& now) { now_ = now; }
    // Writes Setup.ini in the application folder with exactly these bytes.
    void writeSetupIni(const QByteArray& bytes) const;
    // The bytes of a file ("<missing>" when there is none).
    static QByteArray readFile(const QString& path);
    // The log file of the sandbox's day in folder (default: the application folder).
    QString logFile(const QString& folder = {}) const;

private:
    TempDir dir_;
    QDateTime now_;
};

}  // namespace varnex::test
