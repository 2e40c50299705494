// A table load from a reader that stops sending: the window's thread keeps running its
// timers while the reader is silent, the progress dialog's Cancel ends the reader at once,
// and the grid stays empty without a message, the table list naming no table.

#include "MainWindowFixture.h"

#include "data/ReaderProcess.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <unistd.h>

namespace varnex::test {
namespace {

using LoadResponseTest = MainWindowFixture;
using namespace std::chrono_literals;

// Processes whose parent is this test program.
int childProcessCount()
{
    int children = 0;
    const QString self = QString::number(getpid());
    for (const QString& pid : QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...: the name may hold blanks, so count from its closing parenthesis.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        children += fields.size() > 1 && fields[1] == self.toLatin1();
    }
    return children;
}

// Watches the load's progress dialog: once it has been up for a while, notes how often the
// window's timers fired meanwhile and presses Cancel.
class CancelWatcher {
public:
    CancelWatcher(QWidget& window, std::chrono::milliseconds wait) : window_(window), wait_(wait)
    {
        QObject::connect(&heartbeat_, &QTimer::timeout, [this] { ++beats_; });
        QObject::connect(&poll_, &QTimer::timeout, [this] { look(); });
        heartbeat_.start(10);
        poll_.start(10);
    }

    bool sawDialog() const { return shownAt_ >= 0; }
    int beatsWhileShown() const { return beatsAtCancel_ - beatsAtShow_; }
    QElapsedTimer& sinceCancel() { return sinceCancel_; }

private:
    void look()
    {
        if (sinceCancel_.isValid())
            return;
        QProgressDialog* dialog = window_.findChild<QProgressDialog*>();
        if (!dialog || !dialog->isVisible())
            return;
        if (shownAt_ < 0) {
            shownAt_ = clock_.elapsed();
            beatsAtShow_ = beats_;
        }
        if (clock_.elapsed() - shownAt_ < wait_.count())
            return;
        beatsAtCancel_ = beats_;
        auto* cancel = dialog->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        sinceCancel_.start();
        QTest::mouseClick(cancel, Qt::LeftButton);
    }

    QWidget& window_;
    std::chrono::milliseconds wait_;
    QTimer heartbeat_;
    QTimer poll_;
    QElapsedTimer clock_ = [] { QElapsedTimer t; t.start(); return t; }();
    QElapsedTimer sinceCancel_;
    qint64 shownAt_ = -1;
    int beats_ = 0;
    int beatsAtShow_ = 0;
    int beatsAtCancel_ = 0;
};

TEST_F(LoadResponseTest, SilentReaderKeepsTheWindowRunningAndCancelEndsIt)
{
    const struct {
        const char* name;
        const char* fault;
    } cases[] = {{"silent after the columns", "--stall"}, {"silent in the middle of a batch", "--stall-in-batch"}};

    jetwriter::Database database;
    database.tables = {TextTable("Numbers", {"Text"}, {{std::string("one")}, {std::string("two")}})};
    OpenDatabase(database);
    ShowWindow();
    window_->setLoadProgressDelay(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderOptions faulty;
        faulty.program = qEnvironmentVariable("VARNEX_BIN_DIR") + "/faulty-reader";
        faulty.extraArguments = {c.fault};
        faulty.stallTimeout = 30s;  // far beyond the test: only Cancel can end this read in time
        const ReaderOptions previous = setReaderOptionsForTesting(faulty);

        CancelWatcher watcher(*window_, 500ms);
        Pick("Numbers");
        const qint64 cancelToEndMs = watcher.sinceCancel().isValid() ? watcher.sinceCancel().elapsed() : -1;
        setReaderOptionsForTesting(previous);

        ASSERT_TRUE(watcher.sawDialog());
        EXPECT_GE(watcher.beatsWhileShown(), 5);  // a timer of 10 ms over half a second of silence
        EXPECT_GE(cancelToEndMs, 0);
        EXPECT_LE(cancelToEndMs, 200);
        EXPECT_EQ(childProcessCount(), 0);
        EXPECT_EQ(window_->grid->recordset(), nullptr);
        EXPECT_EQ(window_->tableList->currentIndex(), -1) << "the list names a table the grid does not show";
        EXPECT_TRUE(LogLines().isEmpty());
        EXPECT_EQ(MessageBoxCount(), 0);
    }
}

// The table list read from a reader that stops sending: the window runs its timers meanwhile,
// and the list fails once the reader has been silent for the stall timeout.
TEST_F(LoadResponseTest, SilentReaderOfTheTableListKeepsTheWindowRunning)
{
    jetwriter::Database database;
    database.tables = {TextTable("Numbers", {"Text"}, {{std::string("one")}})};
    OpenDatabase(database);
    ShowWindow();
    ReaderOptions faulty;
    faulty.program = qEnvironmentVariable("VARNEX_BIN_DIR") + "/faulty-reader";
    faulty.extraArguments = {"--stall"};
    faulty.stallTimeout = 1500ms;
    const ReaderOptions previous = setReaderOptionsForTesting(faulty);
    int beats = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&beats] { ++beats; });
    heartbeat.start(10);
    const Status filled = window_->fillTableList();
    heartbeat.stop();
    setReaderOptionsForTesting(previous);

    EXPECT_FALSE(filled.ok());
    EXPECT_GE(beats, 20);  // a timer of 10 ms over a second and a half of silence
    EXPECT_EQ(childProcessCount(), 0);
}

}  // namespace
}  // namespace varnex::test
