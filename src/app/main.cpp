#include "app/Main.h"
#include "app/ShowMainWindow.h"
#include "platform/Forms.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    varnex::Main(varnex::ShowMainWindow);
    // The program runs while a window is loaded; with none shown, start-up was all there was.
    if (varnex::LoadedForms().isEmpty())
        return 0;
    return app.exec();
}
