// A stand-in for the program in single-instance tests: runs the real start-up under the title
// and application folder given on the command line (and, optionally, the folder of the guard
// files) and reports on stdout what happens
// ("shown", "activated", "box|<text>|<style>|<title>").
// With --main-window it shows the program's real main window and reports its table list
// ("tables|<name>,<name>") when shown and after each file handed over to it; a FILE is passed
// to the start-up as "varnex FILE" does.

#include "core/Application.h"
#include "core/Messages.h"
#include "shell/MainWindow.h"
#include "shell/ShowMainWindow.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/Windows.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QComboBox>
#include <QWidget>

#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

void sayTables()
{
    const auto* window = varnex::loadedWindows().isEmpty()
                             ? nullptr
                             : qobject_cast<varnex::MainWindow*>(varnex::loadedWindows().constFirst());
    QStringList names;
    for (int i = 0; window && i < window->tableList->count(); ++i)
        names << window->tableList->itemText(i);
    say("tables|" + names.join(','));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        say("usage: instance_probe TITLE APPDIR [GUARDDIR [--main-window] [FILE]]");
        return 2;
    }
    varnex::setAppTitle(QString::fromLocal8Bit(argv[1]));
    varnex::setAppFolderForTesting(QString::fromLocal8Bit(argv[2]));
    if (argc > 3)
        varnex::setInstanceGuardFolderForTesting(QString::fromLocal8Bit(argv[3]));
    bool realWindow = false;
    QString file;
    for (int i = 4; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--main-window")
            realWindow = true;
        else
            file = QString::fromLocal8Bit(argv[i]);
    }
    varnex::setMessageHandler([](const varnex::Message& call) {
        say("box|" + call.text + "|" + varnex::test::StyleName(call.style) + "|" + call.title);
    });
    varnex::setActivationHandler([] { say("activated"); });

    QWidget mainWindow;
    mainWindow.setObjectName("frmMain");
    const auto showStandIn = [&] {
        varnex::registerWindow(&mainWindow);
        mainWindow.show();
        say("shown");
        return varnex::Status{};
    };
    const auto showReal = [] {
        const varnex::Status shown = varnex::showMainWindow();
        if (shown) {
            say("shown");
            sayTables();
        }
        return shown;
    };
    varnex::startApplication(realWindow ? std::function<varnex::Status()>(showReal) : showStandIn, file);
    if (realWindow) {
        auto open = varnex::setOpenFileHandler({});
        varnex::setOpenFileHandler([open](const QString& path) {
            if (open)
                open(path);
            sayTables();
        });
    }
    if (varnex::loadedWindows().isEmpty())
        return 0;
    return app.exec();
}
