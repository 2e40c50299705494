#include "platform/FileSystem.h"

#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace varnex {
namespace {

bool hasWildcards(QStringView name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// "*" matches any run of characters, "?" exactly one; "*.*" matches every name.
bool wildcardMatch(QStringView pattern, QStringView name)
{
    if (pattern == QLatin1String("*.*"))
        pattern = u"*";
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

// The C library would see such a name cut short at the NUL, i.e. another file.
bool hasNul(const QString& path) { return path.contains(QChar(u'\0')); }

enum class Kind { Missing, File, Folder, Other };

Kind kindOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Kind::Missing;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

bool passesFilter(const QString& name, Kind kind, int attributes)
{
    if (kind == Kind::Missing)
        return false;
    if (name.startsWith(QLatin1Char('.')) && !(attributes & attr::vbHidden))
        return false;
    if (kind == Kind::Folder)
        return (attributes & attr::vbDirectory) != 0;
    if (kind == Kind::Other)
        return (attributes & attr::vbSystem) != 0;
    return true;
}

QString firstMatch(const QString& folder, QStringView namePattern, int attributes)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                            QDir::Name);
    for (const QString& name : names) {
        if (!namePattern.isEmpty() && !wildcardMatch(namePattern, name))
            continue;
        if (passesFilter(name, kindOf(dir.filePath(name)), attributes))
            return name;
    }
    return {};
}

}  // namespace

QString Dir(const QString& pattern, int attributes)
{
    if (pattern.isEmpty() || hasNul(pattern))
        return {};
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString folder = pattern.left(slash + 1);
    const QString name = pattern.mid(slash + 1);

    if (name.isEmpty()) {
        if (kindOf(folder) != Kind::Folder)
            return {};
        if (attributes & attr::vbDirectory)
            return QStringLiteral(".");
        return firstMatch(folder, {}, attributes);
    }
    if (!hasWildcards(name))
        return passesFilter(name, kindOf(pattern), attributes) ? name : QString();
    if (!folder.isEmpty() && kindOf(folder) != Kind::Folder)
        return {};
    return firstMatch(folder, name, attributes);
}

Status MkDir(const QString& path)
{
    if (path.isEmpty() || hasNul(path))
        return RuntimeError(err::PathNotFound);
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0)
        return errno == EEXIST ? RuntimeError(err::PathFileAccess) : FileError(errno);
    return {};
}

Status Kill(const QString& path)
{
    if (hasNul(path))
        return RuntimeError(52);
    const Kind kind = kindOf(path);
    if (kind == Kind::Missing || kind == Kind::Folder)
        return RuntimeError(err::FileNotFound);
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        return FileError(errno);
    return {};
}

Status AppendLine(const QString& path, QStringView text)
{
    TextFile file;
    if (Status opened = file.Open(path, TextFile::Mode::Append); !opened)
        return opened;
    if (Status printed = file.PrintLine(text); !printed)
        return printed;
    return file.Close();
}

TextFile::~TextFile()
{
    if (file_)
        std::fclose(file_);
}

Status TextFile::Open(const QString& path, Mode mode)
{
    if (file_)
        return RuntimeError(55);
    if (path.isEmpty())
        return RuntimeError(err::PathNotFound);
    if (hasNul(path))
        return RuntimeError(52);
    if (kindOf(path) == Kind::Folder)
        return RuntimeError(err::PathFileAccess);
    file_ = std::fopen(QFile::encodeName(path).constData(), mode == Mode::Output ? "wbe" : "abe");
    if (!file_)
        return FileError(errno);
    return {};
}

Status TextFile::PrintLine(QStringView text)
{
    line_.clear();
    AppendAnsi(line_, text);
    line_.append("\r\n", 2);
    return WriteRaw(line_);
}

Status TextFile::WriteRaw(const QByteArray& bytes)
{
    if (!file_)
        return RuntimeError(52);
    if (bytes.isEmpty())
        return {};
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), file_) != static_cast<size_t>(bytes.size()))
        return FileError(errno);
    return {};
}

Status TextFile::Close()
{
    if (!file_)
        return {};
    std::FILE* file = std::exchange(file_, nullptr);
    if (std::fclose(file) != 0)
        return FileError(errno);
    return {};
}

}  // namespace varnex
