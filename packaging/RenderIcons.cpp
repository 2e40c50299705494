// Writes the program's icon for the desktop's icon theme: FOLDER/<size>.png for every size
// named, drawn by the code that draws the window's icon.

#include "shell/TrafficLightIcon.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: varnex-render-icons FOLDER SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "varnex-render-icons: cannot make %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "varnex-render-icons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString file = folder + QStringLiteral("/%1.png").arg(size);
        if (!varnex::trafficLightImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "varnex-render-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
