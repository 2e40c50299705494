// varnex export -o onto whatever the name holds: a regular file is replaced once complete, any
// other kind of file is written where it is and is still there, the same, afterwards.

#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <optional>

namespace varnex::test {
namespace {

const QByteArray kCsv = "\"Name\"\r\n\"a\"\r\n\"b\"\r\n";

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString linkText(const QString& path)
{
    char text[4096];
    const ssize_t length = readlink(encoded(path).constData(), text, sizeof text);
    return length > 0 ? QString::fromUtf8(text, length) : QString();
}

// Each entry of the folder but the database, with what it is: its kind, a device's numbers, a
// link's target, a file's mode and bytes. A temporary file left behind shows as one more entry.
QStringList folderState(const TempDir& work)
{
    QStringList state;
    const QDir folder(work.path());
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                                QDir::Name)) {
        struct stat status {};
        if (name == "db.mdb" || lstat(encoded(work.file(name)).constData(), &status) != 0)
            continue;
        const auto device = QStringLiteral("%1,%2").arg(major(status.st_rdev)).arg(minor(status.st_rdev));
        if (S_ISFIFO(status.st_mode))
            state << name + ": FIFO";
        else if (S_ISSOCK(status.st_mode))
            state << name + ": socket";
        else if (S_ISCHR(status.st_mode))
            state << name + ": character device " + device;
        else if (S_ISBLK(status.st_mode))
            state << name + ": block device " + device;
        else if (S_ISLNK(status.st_mode))
            state << name + " -> " + linkText(work.file(name));
        else
            state << QStringLiteral("%1: %2 %3").arg(name).arg(status.st_mode & 0777, 0, 8).arg(QString::fromUtf8(contentsOf(work.file(name))));
    }
    return state;
}

bool writeFile(const QString& path, const QByteArray& bytes, mode_t mode)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
           && chmod(encoded(path).constData(), mode) == 0;
}

bool makeNode(const QString& path, mode_t kind, unsigned major, unsigned minor)
{
    return mknod(encoded(path).constData(), kind | 0666, makedev(major, minor)) == 0;
}

bool makeSocket(const QString& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = encoded(path);
    if (fd < 0 || name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// A block device major number no driver has taken here (the ones set aside for local use), so
// that its node reaches no disk.
std::optional<unsigned> unusedBlockMajor()
{
    const QByteArray devices = contentsOf("/proc/devices");
    const qsizetype block = devices.indexOf("Block devices:");
    if (block < 0)
        return std::nullopt;
    QList<unsigned> taken;
    for (const QByteArray& line : devices.mid(block).split('\n'))
        taken << line.trimmed().split(' ').value(0).toUInt();
    for (unsigned major = 240; major <= 254; ++major) {
        if (!taken.contains(major))
            return major;
    }
    return std::nullopt;
}

struct Case {
    const char* name;
    std::function<bool(const TempDir&)> make;  // what the name holds before; false where it cannot be made
    QString command;                           // bash in the folder, $VARNEX the program
    int status;
    QByteArray out;
    QByteArray err;
    QStringList after;  // folderState afterwards
};

void runCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir work;
        WriteDatabase(work.file("db.mdb"), {NameTable("Orders", {"a", "b"})});
        ASSERT_TRUE(c.make(work)) << std::strerror(errno);
        const VarnexRun run = runShell("umask 022; " + c.command, work.path());
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out.toStdString(), c.out.toStdString());
        EXPECT_EQ(run.err.toStdString(), c.err.toStdString());
        EXPECT_EQ(folderState(work), c.after);
    }
}

const auto nothing = [](const TempDir&) { return true; };

TEST(OutputTargets, FilesLinksFifosSocketsAndDescriptors)
{
    const std::vector<Case> cases = {
        {"a new file", nothing, R"("$VARNEX" export db.mdb Orders -o out.csv)", 0, "", "",
         {"out.csv: 644 " + QString::fromUtf8(kCsv)}},
        {"an older file keeps its mode", [](const TempDir& w) { return writeFile(w.file("out.csv"), "old", 0640); },
         R"("$VARNEX" export db.mdb Orders -o out.csv)", 0, "", "", {"out.csv: 640 " + QString::fromUtf8(kCsv)}},
        {"a link to a file: the file is replaced, the link stays",
         [](const TempDir& w) {
             return writeFile(w.file("target.csv"), "old", 0600)
                    && QFile::link("target.csv", w.file("link.csv"));
         },
         R"("$VARNEX" export db.mdb Orders -o link.csv)", 0, "", "",
         {"link.csv -> target.csv", "target.csv: 600 " + QString::fromUtf8(kCsv)}},
        {"a link to no file yet", [](const TempDir& w) { return QFile::link("new.csv", w.file("link.csv")); },
         R"("$VARNEX" export db.mdb Orders -o link.csv)", 0, "", "",
         {"link.csv -> new.csv", "new.csv: 644 " + QString::fromUtf8(kCsv)}},
        {"a FIFO is written, not replaced", [](const TempDir& w) { return mkfifo(encoded(w.file("pipe")).constData(), 0600) == 0; },
         R"("$VARNEX" export db.mdb Orders -o pipe & timeout 60 cat pipe; wait $!)", 0, kCsv, "", {"pipe: FIFO"}},
        {"a socket cannot be opened, and stays", [](const TempDir& w) { return makeSocket(w.file("sock")); },
         R"("$VARNEX" export db.mdb Orders -o sock)", 1, "",
         "varnex: db.mdb: table 'Orders': Could not create 'sock': No such device or address\n", {"sock: socket"}},
        {"/dev/stdout", nothing, R"("$VARNEX" export db.mdb Orders -o /dev/stdout | cat)", 0, kCsv, "", {}},
        {"a link to standard output",
         [](const TempDir& w) { return QFile::link("/proc/self/fd/1", w.file("out")); },
         R"("$VARNEX" export db.mdb Orders -o out | cat)", 0, kCsv, "", {"out -> /proc/self/fd/1"}},
        {"/dev/fd/3 opened by the shell on a file", nothing,
         R"("$VARNEX" export db.mdb Orders -o /dev/fd/3 3>out.csv)", 0, "", "",
         {"out.csv: 644 " + QString::fromUtf8(kCsv)}},
        {"a descriptor that is not open", nothing, R"("$VARNEX" export db.mdb Orders -o /dev/fd/9)", 1, "",
         "varnex: db.mdb: table 'Orders': Could not create '/dev/fd/9': Bad file descriptor\n", {}},
    };
    runCases(cases);
}

// Device nodes can be made by root only; the tests and CI run as root.
TEST(OutputTargets, DeviceNodesAreWrittenWhereTheyAre)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making device nodes takes root";
    const std::optional<unsigned> noDisk = unusedBlockMajor();
    ASSERT_TRUE(noDisk);
    const QString disk = QStringLiteral("disk: block device %1,0").arg(*noDisk);
    const std::vector<Case> cases = {
        {"a node like /dev/null", [](const TempDir& w) { return makeNode(w.file("null"), S_IFCHR, 1, 3); },
         R"("$VARNEX" export db.mdb Orders -o null)", 0, "", "", {"null: character device 1,3"}},
        {"a node like /dev/full: the failure is told, the node stays",
         [](const TempDir& w) { return makeNode(w.file("full"), S_IFCHR, 1, 7); },
         R"("$VARNEX" export db.mdb Orders -o full)", 1, "",
         "varnex: db.mdb: table 'Orders': Could not write 'full': No space left on device\n",
         {"full: character device 1,7"}},
        {"a block device without a driver", [&](const TempDir& w) { return makeNode(w.file("disk"), S_IFBLK, *noDisk, 0); },
         R"("$VARNEX" export db.mdb Orders -o disk)", 1, "",
         "varnex: db.mdb: table 'Orders': Could not create 'disk': No such device or address\n", {disk}},
    };
    runCases(cases);
}

}  // namespace
}  // namespace varnex::test
