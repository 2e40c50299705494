// The real file dialog (offscreen, not the test seam) on folders that hold special files:
// a named pipe, /proc, /dev. Reading such a file can block for good, so the dialog must
// take them in without reading them and keep answering. (It lists no special files itself,
// but it learns of every entry of the folder, which is where their types used to be read.) A dialog that blocks its thread
// never reaches the timer that closes it, and the watchdog ends the test program.

#include "shell/FileDialog.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace varnex {
namespace {

using namespace std::chrono_literals;

const QString kCsvFilter = QStringLiteral("CSV Files (*.csv)|*.csv");
const QString kAllFilter = QStringLiteral("All Files (*.*)|*");

// Makes a named pipe and an earlier export in folder.
void fillWithPipe(const test::TempDir& folder)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.file("pipe")).constData(), 0600), 0);
    QFile earlier(folder.file("earlier.csv"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
}

struct Case {
    const char* name;
    QString folder;
    QString proposed;  // the file name proposed, as after an earlier export there
    QString filter;
    QString listed;    // an entry the dialog must show
};

// Once the dialog has loaded folder, notes the entries it shows there and closes it.
void closeOnceLoaded(QFileDialog& dialog, const QString& folder, QStringList& shown)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const auto capture = [&shown, model, folder] {
        const QModelIndex root = model->index(folder);
        for (int row = 0; row < model->rowCount(root); ++row)
            shown << model->index(row, 0, root).data().toString();
    };
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog, [&dialog, capture, folder](const QString& path) {
        if (QDir(path) != QDir(folder))
            return;
        // Let the last updates of the listing (where each entry's type is taken) be handled first.
        QTimer::singleShot(300, &dialog, [&dialog, capture] {
            capture();
            dialog.reject();
        });
    });
}

TEST(FileDialog, RealDialogAnswersOnFoldersWithSpecialFiles)
{
    const test::TempDir withPipe;
    fillWithPipe(withPipe);
    const Case cases[] = {
        {"named pipe, CSV filter", withPipe.path(), "Table.csv", kCsvFilter, "earlier.csv"},
        {"named pipe, every file", withPipe.path(), "Table.csv", kAllFilter, "earlier.csv"},
        {"/proc after an export there", "/proc", "/proc/x.csv", kCsvFilter, "self"},
        {"/proc, every file", "/proc", "Table.csv", kAllFilter, "version"},
        {"/dev, every file", "/dev", "Table.csv", kAllFilter, "pts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::Watchdog watchdog(std::string("the file dialog on ") + c.name, 60s);
        FileDialog cd;
        cd.initialFolder = c.folder;
        cd.title = "Export";
        cd.filter = c.filter;
        cd.fileName = c.proposed;
        QStringList shown;
        bool found = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            found = true;
            closeOnceLoaded(*dialog, c.folder, shown);
        });
        const Status answered = cd.showSave();
        ASSERT_TRUE(found);
        ASSERT_FALSE(answered.ok());
        EXPECT_EQ(answered.error(), makeError(ErrorCode::DialogCancelled));
        EXPECT_TRUE(shown.contains(c.listed)) << shown.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace varnex
