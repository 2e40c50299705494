#include "shell/RecentFilesMenu.h"

#include "app/UserState.h"
#include "shell/MainWindow.h"
#include "shell/OpenDatabase.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace varnex {
namespace {

void openRecentFile(MainWindow& window, const QString& path)
{
    if (!QFileInfo(path).isFile())
        forgetRecentFile(path);  // the box that follows says the file is gone
    openDatabaseFile(window, path);
}

// "&1 /path/to/file.mdb": the number is the entry's key; a "&" in the path is no key.
QString entryText(int number, const QString& path)
{
    QString escaped = path;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return number < kMostRecentFiles ? QStringLiteral("&%1 %2").arg(number).arg(escaped)
                                     : QStringLiteral("1&0 %1").arg(escaped);
}

}  // namespace

void fillRecentFilesMenu(MainWindow& window, QMenu& recent)
{
    recent.clear();
    const QStringList files = userState().recentFiles;
    for (int i = 0; i < files.size(); ++i) {
        QAction* entry = recent.addAction(entryText(i + 1, files[i]));
        entry->setObjectName(QStringLiteral("actRecent%1").arg(i + 1));
        entry->setData(files[i]);
        const QString path = files[i];
        QObject::connect(entry, &QAction::triggered, &window, [&window, path] { openRecentFile(window, path); });
    }
    recent.addSeparator();
    QAction* clear = recent.addAction(MainWindow::tr("&Clear"));
    clear->setObjectName(QStringLiteral("actClearRecent"));
    clear->setEnabled(!files.isEmpty());
    QObject::connect(clear, &QAction::triggered, &window, [] { clearRecentFiles(); });
}

void createRecentFilesMenu(MainWindow& window, QMenu& fileMenu)
{
    QMenu* recent = fileMenu.addMenu(MainWindow::tr("Open &Recent"));
    recent->setObjectName(QStringLiteral("mnuRecent"));
    QObject::connect(recent, &QMenu::aboutToShow, recent, [&window, recent] { fillRecentFilesMenu(window, *recent); });
}

}  // namespace varnex
