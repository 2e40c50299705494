#include "platform/AppInfo.h"
#include "platform/CommonDialog.h"
#include "platform/Forms.h"
#include "platform/MsgBox.h"
#include "support/FileDialogStub.h"
#include "support/MsgBoxRecorder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(MsgBox, UntitledBoxesCarryTheApplicationTitle)
{
    test::MsgBoxRecorder boxes;
    EXPECT_EQ(MsgBox("plain"), msgbox::vbOK);
    MsgBox("bad", msgbox::vbCritical, "Main");
    MsgBox("note", msgbox::vbInformation);
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"plain", 0, "Varnex"}, {"bad", 16, "Main"}, {"note", 64, "Varnex"}}));
}

TEST(MsgBox, RealBoxShowsTextIconAndCaption)
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
    EXPECT_EQ(MsgBox("Disk full", msgbox::vbCritical), msgbox::vbOK);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(caption, "Varnex");
    EXPECT_EQ(text, "Disk full");
}

TEST(CommonDialog, CancelAndAccept)
{
    CommonDialog cd;
    cd.FileName = "keep";
    test::FileDialogStub stub(std::nullopt);
    EXPECT_TRUE(cd.ShowSave().ok());
    EXPECT_EQ(cd.FileName, "keep");
    cd.CancelError = true;
    const Status cancelled = cd.ShowSave();
    ASSERT_FALSE(cancelled.ok());
    EXPECT_EQ(cancelled.error(), (Error{32755, "Cancel was selected."}));
    stub.setAnswer("/tmp/out.csv");
    EXPECT_TRUE(cd.ShowSave().ok());
    EXPECT_EQ(cd.FileName, "/tmp/out.csv");
    EXPECT_EQ(stub.shown().size(), 3);
}

TEST(CommonDialog, RealDialogOpensInTheFolderWithTheFilter)
{
    CommonDialog cd;
    cd.InitDir = QDir::tempPath();
    cd.DialogTitle = "Export";
    cd.Filter = "CSV Files (*.csv)|*.csv";
    QString title, folder, filter;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        filter = dialog->selectedNameFilter();
        dialog->reject();
    });
    cd.CancelError = true;
    EXPECT_FALSE(cd.ShowSave().ok());
    EXPECT_EQ(title, "Export");
    EXPECT_EQ(folder, QDir(QDir::tempPath()).absolutePath());
    EXPECT_TRUE(filter.contains("*.csv"));
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

TEST(Forms, LoadOrderUnloadAndEnd)
{
    QStringList closed;
    ClosingWidget a("frmMain", &closed), b("frmSetting", &closed);
    LoadForm(&a);
    LoadForm(&b);
    LoadForm(&a);
    EXPECT_EQ(LoadedForms(), (QList<QWidget*>{&a, &b}));
    {
        auto c = std::make_unique<QWidget>();
        LoadForm(c.get());
        EXPECT_EQ(LoadedForms().size(), 3);
    }
    EXPECT_EQ(LoadedForms().size(), 2);  // a destroyed window drops out
    UnloadForm(&a);
    EXPECT_EQ(closed, QStringList{"frmMain"});
    EXPECT_EQ(LoadedForms(), QList<QWidget*>{&b});
    UnloadForm(&b);
    EXPECT_TRUE(LoadedForms().isEmpty());

    int ends = 0;
    auto previous = SetEndProcessHandler([&] { ++ends; });
    EndProcess();
    EXPECT_EQ(ends, 1);
    SetEndProcessHandler(previous);
}

TEST(AppInfo, TitleAndFolder)
{
    EXPECT_EQ(AppTitle(), "Varnex");
    EXPECT_EQ(AppPath(), QCoreApplication::applicationDirPath());
    SetAppPathForTesting("/opt/tools/");
    EXPECT_EQ(AppPath(), "/opt/tools");
    SetAppPathForTesting({});
}

}  // namespace
}  // namespace varnex
