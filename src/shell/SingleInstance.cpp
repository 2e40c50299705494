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
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace varnex {
namespace {

constexpr int kAnswerTimeoutMs = 5000;  // generous: a busy machine may be slow to answer
const QByteArray kRequest = "activate\n";
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
};

Guard& guard()
{
    static Guard g;
    return g;
}

void answer(QLocalSocket* socket)
{
    if (!socket->canReadLine())
        return;
    const QByteArray request = socket->readLine();
    if (request == kRequest) {
        if (guard().activation)
            guard().activation();
        else
            bringFormsForward();
    }
    socket->write(kAnswer);
    socket->flush();
    socket->disconnectFromServer();
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

Status activateInstance(const QString& title)
{
    QLocalSocket socket;
    socket.connectToServer(guardBase(title) + QStringLiteral(".sock"));
    if (!socket.waitForConnected(kAnswerTimeoutMs))
        return makeError(ErrorCode::InvalidCall);
    socket.write(kRequest);
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
