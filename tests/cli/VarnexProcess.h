#pragma once
// The varnex executable run as a script would run it: no display, a locale
// chosen by the test, the working folder of the test's files.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <vector>

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

// A shell command line and what it gives.
struct ShellCase {
    const char* command;
    int status;
    QByteArray out;
    QByteArray err;
};
// Runs each (after `before`, a command line of its own) in folder and compares all it gives.
void expectShellCases(const std::vector<ShellCase>& cases, const QString& folder, const QString& before = {});

// Starts varnex in folder as runVarnex does, without waiting; the caller may set its streams first.
void startVarnex(QProcess& process, const QStringList& arguments, const QString& folder);
// The exit status, or 128 + the signal that ended the process, as a shell shows it.
int shellStatus(const QProcess& process);

}  // namespace varnex::test
