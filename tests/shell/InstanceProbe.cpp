// A stand-in for the program in single-instance tests: runs the real start-up under the title
// and application folder given on the command line (and, optionally, the folder of the guard
// files) and reports on stdout what happens
// ("shown", "activated", "box|<text>|<style>|<title>").

#include "core/Application.h"
#include "core/Messages.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        say("usage: instance_probe TITLE APPDIR [GUARDDIR]");
        return 2;
    }
    varnex::setAppTitle(QString::fromLocal8Bit(argv[1]));
    varnex::setAppFolderForTesting(QString::fromLocal8Bit(argv[2]));
    if (argc > 3)
        varnex::setInstanceGuardFolderForTesting(QString::fromLocal8Bit(argv[3]));
    varnex::setMessageHandler([](const varnex::Message& call) {
        say("box|" + call.text + "|" + QString::number(static_cast<int>(call.style)) + "|" + call.title);
    });
    varnex::setActivationHandler([] { say("activated"); });

    QWidget mainWindow;
    mainWindow.setObjectName("frmMain");
    varnex::startApplication([&] {
        varnex::registerWindow(&mainWindow);
        mainWindow.show();
        say("shown");
        return varnex::Status{};
    });
    if (varnex::loadedWindows().isEmpty())
        return 0;
    return app.exec();
}
