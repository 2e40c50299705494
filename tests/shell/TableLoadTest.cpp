// A table loading into the window, its reader made to wait after the first batch until the
// test lets it go on: meanwhile the grid shows that batch, the status line counts it as
// loading and the window runs its timers; let go, the rest comes and the grid shows every
// row; cancelled there instead, the grid is left empty, quietly, and the reader is ended.

#include "MainWindowFixture.h"

#include "data/ReaderProcess.h"
#include "shell/StatusLine.h"

#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnex::test {
namespace {

using TableLoadTest = MainWindowFixture;
using namespace std::chrono_literals;

constexpr int64_t kRows = 10000;  // three batches, each at most 4,096 rows

QStringList Numbers(int64_t from, int64_t to)
{
    QStringList numbers;
    for (int64_t i = from; i <= to; ++i)
        numbers << QString::number(i);
    return numbers;
}

// What the window shows while the reader waits, noted by a timer that runs during the load.
struct Seen {
    bool shown = false;
    int rows = 0;
    QString status;
    QStringList texts;
    bool dialog = false;
};

TEST_F(TableLoadTest, FirstRowsShowWhileTheRestLoadsAndCancelLeavesTheGridEmpty)
{
    std::vector<jetwriter::Row> rows;
    for (int64_t i = 1; i <= kRows; ++i)
        rows.push_back({i, std::string("row ").append(std::to_string(i))});
    jetwriter::Database database;
    database.tables = {{"Big", {{"ID", jetwriter::ColumnType::Long}, {"Text", jetwriter::ColumnType::Text}}, rows, {}}};
    OpenDatabase(database);
    ShowWindow();

    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled while the reader waits" : "let go");
        const QString pause = dir_.file(cancel ? "pause-cancel" : "pause-go");
        ASSERT_EQ(mkfifo(pause.toLocal8Bit().constData(), 0600), 0);
        ReaderOptions faulty;
        faulty.program = qEnvironmentVariable("VARNEX_BIN_DIR") + "/faulty-reader";
        faulty.extraArguments = {"--pause-after-first-batch", pause};
        faulty.stallTimeout = 30s;  // far beyond the test: the reader waits for it, not for a clock
        const ReaderOptions previous = setReaderOptionsForTesting(faulty);
        window_->setLoadProgressDelay(cancel ? 0 : 3600 * 1000);

        Seen seen;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (seen.shown || !window_->grid->recordset() || window_->grid->model()->rowCount() == 0)
                return;
            seen.shown = true;
            seen.rows = window_->grid->model()->rowCount();
            seen.status = window_->statusLine->rowCount->text();
            seen.texts = ColumnTexts(0);
            auto* dialog = window_->findChild<QProgressDialog*>();
            seen.dialog = dialog && dialog->isVisible();
            if (cancel && dialog) {
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
                return;
            }
            // The reader, waiting in its open of the pipe for reading, goes on once it is opened for writing.
            const int goOn = open(pause.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
            EXPECT_GE(goOn, 0);
            if (goOn >= 0)
                close(goOn);
        });
        look.start(5);
        Pick("Big");
        look.stop();
        setReaderOptionsForTesting(previous);

        ASSERT_TRUE(seen.shown);
        // The first batch: the table's first rows, and no more.
        EXPECT_GT(seen.rows, 0);
        EXPECT_LE(seen.rows, 4096);
        EXPECT_EQ(seen.status, "Loading: " + QLocale().toString(qlonglong{seen.rows}) + " rows");
        EXPECT_EQ(seen.texts, Numbers(1, seen.rows));
        EXPECT_EQ(seen.dialog, cancel);
        if (cancel) {
            EXPECT_EQ(window_->grid->recordset(), nullptr);
            EXPECT_TRUE(window_->statusLine->rowCount->text().isEmpty());
        } else {
            WaitForGrid();
            EXPECT_EQ(window_->grid->model()->rowCount(), kRows);
            EXPECT_EQ(ColumnTexts(0), Numbers(1, kRows));
            EXPECT_EQ(window_->statusLine->rowCount->text(), QLocale().toString(qlonglong{kRows}) + " rows");
        }
        EXPECT_TRUE(LogLines().isEmpty());
        EXPECT_EQ(MessageBoxCount(), 0);
    }
}

}  // namespace
}  // namespace varnex::test
