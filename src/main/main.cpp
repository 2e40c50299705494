#include "cli/CommandLine.h"
#include "core/StandardStreams.h"
#include "shell/MessageBoxes.h"
#include "shell/PasswordDialog.h"
#include "shell/ShowMainWindow.h"
#include "shell/Startup.h"
#include "shell/Windows.h"

#include <QApplication>

int main(int argc, char** argv)
{
    varnex::openClosedStandardStreams();
    // A command (varnex tables ..., varnex export ...) runs without a window, and so does a usage error.
    if (const std::optional<int> status = varnex::cli::runCommandLine(argc, argv))
        return *status;

    QApplication app(argc, argv);
    varnex::installMessageBoxes();
    varnex::installPasswordDialog();
    // "varnex FILE" starts on that database (of several names, the first).
    varnex::startApplication(varnex::showMainWindow, app.arguments().value(1));
    // The program runs while a window is loaded; with none shown, start-up was all there was.
    if (varnex::loadedWindows().isEmpty())
        return 0;
    return app.exec();
}
