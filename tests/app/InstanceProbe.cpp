// A stand-in for the program in single-instance tests: runs the real start-up under the title
// and application folder given on the command line (and, optionally, the folder of the guard
// files) and reports on stdout what happens
// ("shown", "activated", "box|<text>|<style>|<title>").

#include "app/Main.h"
#include "platform/AppInfo.h"
#include "platform/Forms.h"
#include "platform/MsgBox.h"
#include "platform/SingleInstance.h"

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
    varnex::SetAppTitle(QString::fromLocal8Bit(argv[1]));
    varnex::SetAppPathForTesting(QString::fromLocal8Bit(argv[2]));
    if (argc > 3)
        varnex::SetInstanceGuardFolderForTesting(QString::fromLocal8Bit(argv[3]));
    varnex::SetMsgBoxHandler([](const varnex::MsgBoxCall& call) {
        say("box|" + call.prompt + "|" + QString::number(call.style) + "|" + call.title);
        return varnex::msgbox::vbOK;
    });
    varnex::SetActivationHandler([] { say("activated"); });

    QWidget mainWindow;
    mainWindow.setObjectName("frmMain");
    varnex::Main([&] {
        varnex::LoadForm(&mainWindow);
        mainWindow.show();
        say("shown");
    });
    if (varnex::LoadedForms().isEmpty())
        return 0;
    return app.exec();
}
