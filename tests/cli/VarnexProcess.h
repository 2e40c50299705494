#pragma once
// The varnex executable run as a script would run it: no display, a locale
// chosen by the test, the working folder of the test's files.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace varnex::test {

struct VarnexRun {
    QByteArray out;
    QByteArray err;
    int status = -1;  // the exit status, or 128 + the signal that ended the process, as a shell shows it
};

QString varnexPath();

// The test's environment without a display (no QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY) and
// without locale settings but these ("LC_ALL=C"), with the single-instance guard kept in
// runtimeFolder.
QProcessEnvironment headlessEnvironment(const QStringList& locale, const QString& runtimeFolder);

// Runs varnex with the arguments in folder and waits for it to end.
VarnexRun runVarnex(const QStringList& arguments, const QString& folder,
                    const QStringList& locale = {"LC_ALL=C.UTF-8"});

// Runs a shell command line (bash) in folder, with $VARNEX naming the executable.
VarnexRun runShell(const QString& commandLine, const QString& folder);

}  // namespace varnex::test
