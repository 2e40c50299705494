#include "core/Application.h"
#include "core/Messages.h"
#include "shell/FileDialog.h"
#include "shell/MessageBoxes.h"
#include "shell/Windows.h"
#include "support/FileDialogStub.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(Messages, UntitledBoxesCarryTheApplicationTitle)
{
    test::MessageRecorder boxes;
    showMessage("plain");
    showMessage("bad", MessageStyle::Critical, "Main");
    showMessage("note", MessageStyle::Information);
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"plain", MessageStyle::Plain, "Varnex"}, {"bad", MessageStyle::Critical, "Main"}, {"note", MessageStyle::Information, "Varnex"}}));
}

TEST(Messages, RealBoxShowsTextIconAndCaption)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption, text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        caption = box->windowTitle();
        text = box->text();
        box->accept();
    });
    installMessageBoxes();
    showMessage("Disk full", MessageStyle::Critical);
    setMessageHandler({});
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(caption, "Varnex");
    EXPECT_EQ(text, "Disk full");
}

TEST(FileDialog, CancelAndAccept)
{
    FileDialog cd;
    cd.fileName = "keep";
    test::FileDialogStub stub(std::nullopt);
    const Status cancelled = cd.showSave();
    EXPECT_EQ(cd.fileName, "keep");
    ASSERT_FALSE(cancelled.ok());
    EXPECT_EQ(cancelled.error(), makeError(ErrorCode::DialogCancelled));
    stub.setAnswer("/tmp/out.csv");
    EXPECT_TRUE(cd.showSave().ok());
    EXPECT_EQ(cd.fileName, "/tmp/out.csv");
    EXPECT_EQ(stub.shown().size(), 2);
}

TEST(FileDialog, RealDialogOpensInTheFolderWithTheFilter)
{
    FileDialog cd;
    cd.initialFolder = QDir::tempPath();
    cd.title = "Export";
    cd.filter = "CSV Files (*.csv)|*.csv";
    QString title, folder, filter;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        filter = dialog->selectedNameFilter();
        dialog->reject();
    });
    EXPECT_FALSE(cd.showSave().ok());
    EXPECT_EQ(title, "Export");
    EXPECT_EQ(folder, QDir(QDir::tempPath()).absolutePath());
    EXPECT_TRUE(filter.contains("*.csv"));
}

// The open dialog lists what its filters name and accepts only a file that exists: a name
// typed that is no file is refused with Qt's own box and the dialog stays.
TEST(FileDialog, RealOpenDialogTakesOnlyExistingFiles)
{
    test::TempDir folder;
    for (const char* name : {"a.mdb", "b.accdb", "c.txt"}) {
        QFile file(folder.file(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    FileDialog cd;
    cd.initialFolder = folder.path();
    cd.title = "Select database";
    cd.filter = "Access Database MDB |*.mdb|Access Database ACCDB |*.accdb|All Files |*";
    QStringList filters;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptSave;
    QString refusal;
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        fileMode = dialog->fileMode();
        acceptMode = dialog->acceptMode();
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                refusal = box->text();
                box->accept();
            }
        });
        QDialog* asDialog = dialog;  // the file dialog's accept is not public, the dialog's is
        dialog->selectFile(folder.file("missing.mdb"));
        asDialog->accept();
        stayedOpen = dialog->isVisible();
        dialog->selectFile(folder.file("b.accdb"));
        asDialog->accept();
    });
    ASSERT_TRUE(cd.showOpen().ok());
    EXPECT_EQ(cd.mode, FileDialogMode::Open);
    EXPECT_EQ(cd.fileName, folder.file("b.accdb"));
    EXPECT_EQ(filters, QStringList({"Access Database MDB (*.mdb)", "Access Database ACCDB (*.accdb)", "All Files (*)"}));
    EXPECT_EQ(fileMode, QFileDialog::ExistingFile);
    EXPECT_EQ(acceptMode, QFileDialog::AcceptOpen);
    EXPECT_TRUE(refusal.contains("missing.mdb")) << refusal.toStdString();
    EXPECT_TRUE(stayedOpen);
}

class ClosingWidget : public QWidget {
public:
    explicit ClosingWidget(QString name, QStringList* log) : log_(log) { setObjectName(name); }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        log_->append(objectName());
        QWidget::closeEvent(event);
    }

private:
    QStringList* log_;
};

TEST(Windows, LoadOrderUnloadAndEnd)
{
    QStringList closed;
    ClosingWidget a("frmMain", &closed), b("frmSetting", &closed);
    registerWindow(&a);
    registerWindow(&b);
    registerWindow(&a);
    EXPECT_EQ(loadedWindows(), (QList<QWidget*>{&a, &b}));
    {
        auto c = std::make_unique<QWidget>();
        registerWindow(c.get());
        EXPECT_EQ(loadedWindows().size(), 3);
    }
    EXPECT_EQ(loadedWindows().size(), 2);  // a destroyed window drops out
    unloadWindow(&a);
    EXPECT_EQ(closed, QStringList{"frmMain"});
    EXPECT_EQ(loadedWindows(), QList<QWidget*>{&b});
    unloadWindow(&b);
    EXPECT_TRUE(loadedWindows().isEmpty());

    int ends = 0;
    auto previous = setEndProcessHandler([&] { ++ends; });
    endProcess();
    EXPECT_EQ(ends, 1);
    setEndProcessHandler(previous);
}

TEST(Application, TitleAndFolder)
{
    EXPECT_EQ(appTitle(), "Varnex");
    EXPECT_EQ(appFolder(), QCoreApplication::applicationDirPath());
    setAppFolderForTesting("/opt/tools/");
    EXPECT_EQ(appFolder(), "/opt/tools");
    setAppFolderForTesting({});
}

}  // namespace
}  // namespace varnex
