#include "PasswordSources.h"

#include "Arguments.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "core/ByteText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace varnex::cli {
namespace {

// Far beyond any password; the reader takes it through a pipe of 64 KiB.
constexpr qsizetype kMostLineBytes = 16 * 1024;

Error unreadable(const QString& file, const QString& cause)
{
    return Error{ErrorCode::PathFileAccess, QStringLiteral("%1: could not read the password file: %2").arg(file, cause)};
}

Result<QString> asText(const QByteArray& bytes, const QString& source)
{
    QString text = bytesToText(bytes);
    if (holdsRawBytes(text))
        return Error{ErrorCode::BadArguments, QStringLiteral("%1: the password is not valid UTF-8").arg(source)};
    return text;
}

// The bytes up to the first line end (LF or CR LF) or the end of the file. An interruption
// ends a wait for them (a FIFO, a terminal).
Result<QByteArray> firstLine(int fd, const QString& file)
{
    QByteArray line;
    char buffer[512];
    while (!line.contains('\n') && line.size() < kMostLineBytes) {
        if (!waitForInput(fd))
            return unreadable(file, QString::fromLocal8Bit(std::strerror(EINTR)));
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return unreadable(file, QString::fromLocal8Bit(std::strerror(errno)));
        if (got == 0)
            break;
        line.append(buffer, got);
    }
    if (const qsizetype end = line.indexOf('\n'); end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

Result<QString> readPasswordFile(const QString& file)
{
    // A FIFO (bash's <(...)) is read as it comes.
    const int fd = ::open(textToBytes(file).constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return unreadable(file, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && (status.st_mode & S_IROTH))
        reportWarning(file, QStringLiteral("other users can read this password file (chmod o-r %1)").arg(file));
    const Result<QByteArray> line = firstLine(fd, file);
    ::close(fd);
    if (!line)
        return line.error();
    return asText(*line, file);
}

void writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written <= 0 && errno != EINTR)
            return;
        done += std::max<ssize_t>(written, 0);
    }
}

// The terminal that standard input is, opened for writing the question to; -1 where it cannot be.
int terminalOfInput()
{
    const char* name = ttyname(STDIN_FILENO);
    return name ? ::open(name, O_WRONLY | O_NOCTTY | O_CLOEXEC) : -1;
}

}  // namespace

Result<std::optional<QString>> givenPassword(const Invocation& invocation)
{
    if (invocation.password)
        return invocation.password;
    if (invocation.passwordFile) {
        const Result<QString> read = readPasswordFile(*invocation.passwordFile);
        if (!read)
            return read.error();
        return std::optional<QString>(*read);
    }
    const QByteArray environment = qgetenv("VARNEX_PASSWORD");
    if (environment.isEmpty())
        return std::optional<QString>();
    const Result<QString> text = asText(environment, QStringLiteral("VARNEX_PASSWORD"));
    if (!text)
        return text.error();
    return std::optional<QString>(*text);
}

std::optional<QString> askForPassword(const QString& database)
{
    termios normal {};
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &normal) != 0)
        return std::nullopt;
    const int terminal = terminalOfInput();
    const int out = terminal >= 0 ? terminal : STDERR_FILENO;
    // The echo goes off before the question shows, so that nothing typed in answer is shown.
    termios quiet = normal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    writeAll(out, textToBytes(QStringLiteral("Password for %1: ").arg(database)));
    const Result<QByteArray> answer = firstLine(STDIN_FILENO, QStringLiteral("standard input"));
    tcsetattr(STDIN_FILENO, TCSANOW, &normal);
    writeAll(out, "\n");
    if (terminal >= 0)
        ::close(terminal);
    if (!answer || interrupted())
        return std::nullopt;
    return bytesToText(*answer);
}

}  // namespace varnex::cli
