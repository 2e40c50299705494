#include "shell/SqliteExportCommand.h"

#include "app/AppSettings.h"
#include "core/Application.h"
#include "core/Log.h"
#include "core/Messages.h"
#include "data/Connection.h"
#include "export/SqliteConversion.h"
#include "shell/MainWindow.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

namespace varnex {
namespace {

const QString kFailureTitle = QStringLiteral("SqliteExportError");
const QString kWarningTitle = QStringLiteral("SqliteExportWarning");
constexpr int kSteps = 1000;
constexpr int kPollMs = 40;

// What the conversion's thread tells the window's thread, which reads it at its own pace.
class SharedProgress : public ConversionObserver {
public:
    bool keepGoing() override { return !cancelled; }
    LoadProgress tableStarting(const QString& table, int number, int count) override
    {
        {
            const QMutexLocker lock(&mutex_);
            table_ = table;
        }
        number_ = number;
        count_ = count;
        rowsRead_ = 0;
        rowCount_ = 0;
        return [this](int64_t rowsRead, int64_t rowCount) {
            rowsRead_ = rowsRead;
            rowCount_ = rowCount;
            return !cancelled;
        };
    }
    void tableWritten(const QString&, int64_t) override {}
    void tableFailed(const QString& table, const QString& cause) override
    {
        const QMutexLocker lock(&mutex_);
        failures_ << (cause.isEmpty() ? table : QStringLiteral("%1: %2").arg(table, cause));
    }
    void warned(const ReadWarning& warning) override
    {
        const QMutexLocker lock(&mutex_);
        warnings_ << warning.text();
    }

    // "Table 2 of 5: Orders (1,200 of 5,000 rows)" and how far the whole has come, in steps.
    QString label() const
    {
        const QMutexLocker lock(&mutex_);
        if (count_ == 0)
            return QCoreApplication::translate("SqliteExport", "Reading the schema...");
        const QLocale locale;
        return QCoreApplication::translate("SqliteExport", "Table %1 of %2: %3 (%4 of %5 rows)")
            .arg(number_.load())
            .arg(count_.load())
            .arg(table_, locale.toString(static_cast<qlonglong>(rowsRead_.load())), locale.toString(static_cast<qlonglong>(rowCount_.load())));
    }
    int step() const
    {
        const int count = count_;
        if (count == 0)
            return 0;
        const double within = rowCount_ > 0 ? static_cast<double>(rowsRead_) / static_cast<double>(rowCount_) : 0.0;
        return static_cast<int>(kSteps * (number_ - 1 + std::min(within, 1.0)) / count);
    }
    QStringList failures() const
    {
        const QMutexLocker lock(&mutex_);
        return failures_;
    }
    QStringList warnings() const
    {
        const QMutexLocker lock(&mutex_);
        return warnings_;
    }

    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    ConversionResult result;  // once done

private:
    mutable QMutex mutex_;
    QString table_;
    QStringList failures_, warnings_;
    std::atomic<int> number_{0}, count_{0};
    std::atomic<int64_t> rowsRead_{0}, rowCount_{0};
};

void prepareSaveDialog(FileDialog& dialog, const QString& database)
{
    const QFileInfo file(database);
    dialog.initialFolder = file.absolutePath();
    dialog.title = QCoreApplication::translate("SqliteExport", "Export to SQLite");
    dialog.filter = QCoreApplication::translate("SqliteExport", "SQLite database (*.sqlite *.db)|*.sqlite;*.db|All files|*");
    dialog.fileName = file.completeBaseName() + QStringLiteral(".sqlite");
}

// Spins the window's events under a progress dialog until the conversion's thread is done; Cancel
// asks it to stop, which it does at its next row or wait.
void followConversion(MainWindow& form, SharedProgress& shared)
{
    QProgressDialog dialog(QCoreApplication::translate("SqliteExport", "Exporting to SQLite..."), QCoreApplication::translate("SqliteExport", "Cancel"), 0, kSteps, &form);
    dialog.setObjectName(QStringLiteral("dlgSqliteExportProgress"));
    dialog.setWindowTitle(appTitle());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        shared.cancelled = true;
        dialog.setLabelText(QCoreApplication::translate("SqliteExport", "Cancelling..."));
    });
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (shared.done) {
            loop.quit();
            return;
        }
        if (!shared.cancelled) {
            dialog.setLabelText(shared.label());
            dialog.setValue(shared.step());
        }
    });
    poll.start(kPollMs);
    dialog.show();
    loop.exec();
}

QString countOf(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1StringView(n == 1 ? one : many));
}

void summarize(const SharedProgress& shared, const QString& output)
{
    const ConversionResult& result = shared.result;
    const QStringList warnings = shared.warnings();
    for (const QString& warning : warnings)
        writeLog(kWarningTitle, appSettings().dataPath + QStringLiteral(": ") + warning, false);
    const QStringList failures = shared.failures();
    for (const QString& failure : failures)
        writeLog(kFailureTitle, appSettings().dataPath + QStringLiteral(": ") + failure, false);
    const QString unread = warnings.isEmpty() ? QString()
                                              : QCoreApplication::translate("SqliteExport", "\n\nSome values could not be read exactly and were left empty; "
                                                               "the log names them.");
    switch (result.outcome) {
    case ConversionOutcome::Completed:
        showMessage(QCoreApplication::translate("SqliteExport", "%1 exported to \"%2\".").arg(countOf(result.tablesWritten, "table", "tables"), output) + unread,
                    MessageStyle::Information);
        return;
    case ConversionOutcome::TablesFailed:
        showMessage(QCoreApplication::translate("SqliteExport", "%1 exported to \"%2\"; %3 could not be:\n\n%4")
                            .arg(countOf(result.tablesWritten, "table", "tables"), output,
                                 countOf(result.tablesFailed, "table", "tables"), failures.join(u'\n')) +
                        unread,
                    MessageStyle::Critical);
        return;
    case ConversionOutcome::Failed:
        writeLog(kFailureTitle, result.error.description, false);
        showMessage(QCoreApplication::translate("SqliteExport", "The database could not be exported to SQLite:\n\n%1")
                        .arg(result.error.description.isEmpty() ? warnings.join(u'\n') : result.error.description),
                    MessageStyle::Critical);
        return;
    case ConversionOutcome::Cancelled:
        showMessage(QCoreApplication::translate("SqliteExport", "The export to SQLite was cancelled; nothing was written."), MessageStyle::Information);
        return;
    }
}

}  // namespace

void exportDatabaseToSqlite(MainWindow& form)
{
    static bool running = false;
    const std::shared_ptr<Connection> connection = appSettings().connection;
    if (running)
        return;
    if (!connection || !connection->isOpen()) {
        showMessage(QCoreApplication::translate("SqliteExport", "No database to export!"), MessageStyle::Information);
        return;
    }
    running = true;
    const auto notRunning = qScopeGuard([] { running = false; });
    prepareSaveDialog(form.fileDialog, connection->databasePath());
    if (!form.fileDialog.showSave(&form))
        return;  // cancelled, or the dialog failed: nothing to say
    // The dialog has asked before a file is replaced.
    const ConversionRequest request{databaseFileOf(*connection), form.fileDialog.fileName, true, {}, false};
    const auto shared = std::make_shared<SharedProgress>();
    const auto convert = [request, shared] {
        shared->result = convertToSqlite(request, *shared);
        shared->done = true;
    };
    std::thread worker;
    try {
        worker = std::thread(convert);
    } catch (const std::system_error&) {
        convert();  // no thread to be had: the conversion runs here, the dialog then closes at once
    }
    followConversion(form, *shared);
    if (worker.joinable())
        worker.join();  // done: it has said so
    summarize(*shared, request.output);
}

}  // namespace varnex
