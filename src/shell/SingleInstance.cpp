#include "shell/SingleInstance.h"

#include "core/Application.h"
#include "core/Error.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace varnex {
namespace {

constexpr int kAnswerTimeoutMs = 5000;  // generous: a busy machine may be slow to answer
constexpr int kOpenRetryMs = 200;       // how often a handed-over file waits for a modal window
constexpr qint64 kLongestRequest = 64 * 1024;
// Requests are one line each: "activate", or "open " and the file's name, percent-encoded.
const QByteArray kRequest = "activate\n";
const QByteArray kOpenRequest = "open ";
const QByteArray kAnswer = "ok\n";

// The guard of one title: a lock file held with flock (the kernel drops the lock when the
// process dies, so a crashed instance leaves nothing that blocks the next start) and a
// local socket on which the running instance listens for requests to come forward.
QString& folderOverride()
{
    static QString folder;
    return folder;
}

QString guardBase(const QString& title)
{
    const QByteArray key = title.toUtf8() + '\0' + QByteArray::number(static_cast<qulonglong>(::getuid()));
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
    QString folder = folderOverride().isEmpty() ? qEnvironmentVariable("XDG_RUNTIME_DIR") : folderOverride();
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/varnex-") + hash;
}

void bringFormsForward()
{
    QList<QWidget*> windows = loadedWindows();
    if (QWidget* modal = QApplication::activeModalWidget())
        windows.append(modal);  // a box or dialog that the user has to answer first
    for (QWidget* form : windows) {
        if (!form->isVisible())
            continue;
        if (form->isMinimized())
            form->showNormal();
        form->raise();
        form->activateWindow();
    }
}

struct Guard {
    bool decided = false;
    bool previous = false;
    int lockFd = -1;
    QString socketPath;
    QPointer<QLocalServer> server;
    std::function<void()> activation;
    std::function<void(const QString&)> openFile;
    QString pendingFile;  // handed over, not yet opened; a newer one replaces it
    bool retryScheduled = false;
};

Guard& guard()
{
    static Guard g;
    return g;
}

void activate()
{
    if (guard().activation)
        guard().activation();
    else
        bringFormsForward();
}

// A handed-over file is opened from the event loop, never inside a modal window (a box, a
// dialog, a table that is loading) and only once the main window has said how to open it.
void openPendingFile()
{
    Guard& g = guard();
    g.retryScheduled = false;
    if (g.pendingFile.isEmpty())
        return;
    if (!g.openFile || QApplication::activeModalWidget()) {
        g.retryScheduled = true;
        QTimer::singleShot(kOpenRetryMs, QCoreApplication::instance(), openPendingFile);
        return;
    }
    g.openFile(std::exchange(g.pendingFile, QString()));
}

void queueFile(const QString& path)
{
    Guard& g = guard();
    g.pendingFile = path;
    if (!g.retryScheduled) {
        g.retryScheduled = true;
        QTimer::singleShot(0, QCoreApplication::instance(), openPendingFile);
    }
}

void answer(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kLongestRequest)
            socket->abort();
        return;
    }
    const QByteArray request = socket->readLine();
    // Answered first: opening the file may show boxes, and the other start must not wait on them.
    socket->write(kAnswer);
    socket->flush();
    socket->disconnectFromServer();
    if (request == kRequest) {
        activate();
    } else if (request.startsWith(kOpenRequest) && request.endsWith('\n')) {
        const QByteArray name = request.mid(kOpenRequest.size()).chopped(1);
        activate();
        queueFile(QFile::decodeName(QByteArray::fromPercentEncoding(name)));
    }
}

void listen(Guard& g)
{
    if (!QCoreApplication::instance())
        return;
    // A socket file left by an instance that crashed would make listen fail; we hold the
    // lock, so whatever is there is stale.
    QLocalServer::removeServer(g.socketPath);
    auto* server = new QLocalServer(QCoreApplication::instance());
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(g.socketPath)) {
        delete server;
        return;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] { answer(socket); });
            answer(socket);
        }
    });
    g.server = server;
}

}  // namespace

bool anotherInstanceRuns()
{
    Guard& g = guard();
    if (g.decided)
        return g.previous;
    g.decided = true;
    const QString base = guardBase(appTitle());
    g.socketPath = base + QStringLiteral(".sock");
    const int fd = ::open(QFile::encodeName(instanceLockPath(appTitle())).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                          0600);
    if (fd < 0)
        return false;  // no guard to be had: run unguarded rather than not at all
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        g.previous = error == EWOULDBLOCK;
        return g.previous;
    }
    g.lockFd = fd;
    listen(g);
    return false;
}

QString instanceLockPath(const QString& title) { return guardBase(title) + QStringLiteral(".lock"); }

Status activateInstance(const QString& title, const QString& fileToOpen)
{
    QLocalSocket socket;
    socket.connectToServer(guardBase(title) + QStringLiteral(".sock"));
    if (!socket.waitForConnected(kAnswerTimeoutMs))
        return makeError(ErrorCode::InvalidCall);
    socket.write(fileToOpen.isEmpty() ? kRequest
                                      : kOpenRequest + QFile::encodeName(fileToOpen).toPercentEncoding() + '\n');
    if (!socket.waitForBytesWritten(kAnswerTimeoutMs))
        return makeError(ErrorCode::InvalidCall);
    QByteArray reply;
    while (!reply.endsWith('\n') && socket.waitForReadyRead(kAnswerTimeoutMs))
        reply += socket.readAll();
    if (reply != kAnswer)
        return makeError(ErrorCode::InvalidCall);
    return {};
}

std::function<void()> setActivationHandler(std::function<void()> handler)
{
    return std::exchange(guard().activation, std::move(handler));
}

std::function<void(const QString&)> setOpenFileHandler(std::function<void(const QString&)> handler)
{
    return std::exchange(guard().openFile, std::move(handler));
}

void setInstanceGuardFolderForTesting(const QString& folder) { folderOverride() = folder; }

void releaseInstanceGuard()
{
    Guard& g = guard();
    if (g.server) {
        g.server->close();
        delete g.server.data();
    }
    if (g.lockFd >= 0) {
        ::close(g.lockFd);
        g.lockFd = -1;
    }
    g.decided = false;
    g.previous = false;
}

}  // namespace varnex
