#include "VarnexProcess.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace varnex::test {
namespace {

constexpr int kTimeoutMs = 60000;

VarnexRun finish(QProcess& process)
{
    VarnexRun run;
    if (!process.waitForFinished(kTimeoutMs)) {
        ADD_FAILURE() << "varnex did not end: " << process.arguments().join(' ').toStdString();
        process.kill();
        process.waitForFinished();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    run.status = shellStatus(process);
    return run;
}

}  // namespace

int shellStatus(const QProcess& process)
{
    // Qt gives the signal number as the exit code of a process a signal ended.
    return process.exitStatus() == QProcess::CrashExit ? 128 + process.exitCode() : process.exitCode();
}

QString varnexPath()
{
    return qEnvironmentVariable("VARNEX_BIN_DIR", QCoreApplication::applicationDirPath()) + "/varnex";
}

QProcessEnvironment headlessEnvironment(const QStringList& locale, const QString& runtimeFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
        if (name == "QT_QPA_PLATFORM" || name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "LANG"
            || name == "LANGUAGE" || name.startsWith("LC_"))
            environment.remove(name);
    }
    for (const QString& setting : locale)
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
    if (!runtimeFolder.isEmpty())
        environment.insert("XDG_RUNTIME_DIR", runtimeFolder);
    return environment;
}

VarnexRun runVarnex(const QStringList& arguments, const QString& folder, const QStringList& locale)
{
    QProcess process;
    process.setProcessEnvironment(headlessEnvironment(locale, folder));
    process.setWorkingDirectory(folder);
    process.start(varnexPath(), arguments);
    return finish(process);
}

void startVarnex(QProcess& process, const QStringList& arguments, const QString& folder)
{
    process.setProcessEnvironment(headlessEnvironment({"LC_ALL=C.UTF-8"}, folder));
    process.setWorkingDirectory(folder);
    process.start(varnexPath(), arguments);
}

VarnexRun runShell(const QString& commandLine, const QString& folder)
{
    QProcess process;
    QProcessEnvironment environment = headlessEnvironment({"LC_ALL=C.UTF-8"}, folder);
    environment.insert("VARNEX", varnexPath());
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start("bash", {"-c", commandLine});
    return finish(process);
}

void expectShellCases(const std::vector<ShellCase>& cases, const QString& folder, const QString& before)
{
    for (const ShellCase& c : cases) {
        SCOPED_TRACE(c.command);
        const VarnexRun run = runShell(before.isEmpty() ? QString(c.command) : before + "\n" + c.command, folder);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out.toStdString(), c.out.toStdString());
        EXPECT_EQ(run.err.toStdString(), c.err.toStdString());
    }
}

}  // namespace varnex::test
