// Files dropped on the main window.

#include "shell/MainWindow.h"
#include "shell/OpenDatabase.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace varnex {
namespace {

// The first local file among the dropped items; empty when there is none.
QString firstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = firstLocalFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: boxes shown from inside it would hold up the program the
    // file came from.
    QTimer::singleShot(0, this, [window = QPointer<MainWindow>(this), path] {
        if (window)
            openDatabaseFile(*window, path);
    });
}

}  // namespace varnex
