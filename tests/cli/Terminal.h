#pragma once
// A pseudo-terminal for the program under test, whose far end the test reads and types into.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace varnex::test {

class Terminal {
public:
    Terminal() : master_(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            name_ = QString::fromLocal8Bit(ptsname(master_));
    }
    ~Terminal()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    const QString& name() const { return name_; }

    // Reads what arrived until the text holds `wanted` or the time is up.
    bool readUntil(const QByteArray& wanted, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!text_.contains(wanted) && clock.elapsed() < timeoutMs)
            readChunk(50);
        return text_.contains(wanted);
    }
    // Reads what arrives until the terminal has been quiet for ms.
    void readFor(int ms)
    {
        while (readChunk(ms)) {
        }
    }
    // False when nothing came within ms.
    bool readChunk(int ms)
    {
        pollfd watch{master_, POLLIN, 0};
        if (poll(&watch, 1, ms) <= 0 || !(watch.revents & POLLIN))
            return false;
        char buffer[4096];
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got > 0)
            text_.append(buffer, got);
        return got > 0;
    }
    const QByteArray& text() const { return text_; }

    // As if typed on the keyboard.
    bool type(const QByteArray& keys) { return ::write(master_, keys.constData(), keys.size()) == keys.size(); }
    // Whether what is typed shows (the master shares the terminal's settings).
    bool echoes() const
    {
        termios settings {};
        return tcgetattr(master_, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
    }

private:
    int master_;
    QString name_;
    QByteArray text_;
};

}  // namespace varnex::test
