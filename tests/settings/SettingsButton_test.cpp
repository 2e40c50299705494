// The Settings button: the window over the main window, then the settings
// re-read and the table list refilled.

#include "settings/SettingsTestFixture.h"

#include "app/InitGlobals.h"
#include "app/Main.h"
#include "app/ShowMainWindow.h"
#include "browser/frmMain.h"
#include "platform/Forms.h"
#include "platform/ProfileString.h"
#include "platform/data/Connection.h"
#include "settings/cmdSettings_Click.h"
#include "settings/frmSetting.h"

#include "jetwriter/JetWriter.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace varnex::test {
namespace {

jetwriter::Table TextTable(const std::string& name, std::vector<jetwriter::Row> rows = {})
{
    return {name, {{"Code", jetwriter::ColumnType::Text}, {"Label", jetwriter::ColumnType::Text}},
            std::move(rows), {}};
}

class SettingsButtonTest : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        previousEnd_ = SetEndProcessHandler([this] { ++endProcessCount; });
    }
    void TearDown() override
    {
        main_.reset();
        if (Globals().gConn)
            (void)Globals().gConn->Close();
        SetEndProcessHandler(previousEnd_);
        SettingsFixture::TearDown();
    }

    QString writeDatabase(const QString& name, std::vector<jetwriter::Table> tables) const
    {
        jetwriter::Database database;
        database.tables = std::move(tables);
        const QString path = appDir.file(name);
        jetwriter::writeDatabase(database, path.toStdString());
        return path;
    }

    // Names the database in Setup.ini and initialises from it.
    void nameDatabase(const QString& database)
    {
        writeIni("[DataConnection]\r\nPath=" + database.toStdString()
                 + "\r\nConnectionString=Provider=Microsoft.Jet.OLEDB.4.0\r\n");
        initialised = InitGlobals();
    }

    // Starts as the program does, with a main window of the test's own.
    frmMain& start(const QString& database)
    {
        nameDatabase(database);
        main_ = std::make_unique<frmMain>();
        LoadForm(main_.get());
        main_->FillTableList();
        main_->show();
        return *main_;
    }

    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < main_->cboTable->count(); ++i)
            entries << main_->cboTable->itemText(i);
        return entries;
    }

    QStringList gridColumn(int column) const
    {
        QStringList texts;
        const QAbstractItemModel* model = main_->dgData->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }

    QString storedPath() const
    {
        return GetPrivateProfileString("DataConnection", "Path", "", iniFile());
    }

    bool initialised = false;
    int endProcessCount = 0;

private:
    std::unique_ptr<frmMain> main_;
    std::function<void()> previousEnd_;
};

TEST_F(SettingsButtonTest, AChosenDatabaseRefillsTheListWhileTheGridKeepsTheOldTable)
{
    const QString first = writeDatabase("first.mdb", {TextTable("Alpha", {{"a1", "one"}, {"a2", "two"}}),
                                                                 TextTable("Beta")});
    const QString second = writeDatabase("second.mdb", {TextTable("Gamma"), TextTable("MSysLocal")});
    frmMain& main = start(first);
    ASSERT_TRUE(initialised);
    ASSERT_EQ(listEntries(), QStringList({"Alpha", "Beta"}));
    main.LoadTable("Alpha");

    QWidget* ownerSeen = nullptr;
    bool modal = false;
    chooseInDialog(second);
    onNextSettingsWindow([&](frmSetting& window) {
        ownerSeen = window.parentWidget();
        modal = window.isModal();
        window.cmdDataPath->click();
    });
    cmdSettings_Click(main);

    EXPECT_EQ(ownerSeen, &main);
    EXPECT_TRUE(modal);
    EXPECT_EQ(storedPath(), second);
    EXPECT_EQ(Globals().gDataPath, second);
    EXPECT_EQ(listEntries(), QStringList({"Gamma"}));
    EXPECT_EQ(gridColumn(1), QStringList({"one", "two"}));
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(LoadedForms().contains(nullptr));
    EXPECT_EQ(LoadedForms().size(), 1);  // the settings window is gone again
}

TEST_F(SettingsButtonTest, ADatabaseThatCannotBeOpenedIsStoredAndTheRefillSkipped)
{
    const QString first = writeDatabase("first.mdb", {TextTable("Alpha", {{"a1", "one"}})});
    const QString broken = makeFile("broken.mdb");
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    frmMain& main = start(first);
    ASSERT_TRUE(initialised);
    main.LoadTable("Alpha");

    chooseInDialog(broken);
    onNextSettingsWindow([](frmSetting& window) { window.cmdDataPath->click(); });
    cmdSettings_Click(main);

    EXPECT_EQ(storedPath(), broken);  // kept for the next start
    EXPECT_EQ(listEntries(), QStringList({"Alpha"}));
    EXPECT_EQ(gridColumn(1), QStringList({"one"}));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "Init Globals");
    EXPECT_EQ(boxes()[0].style, 16);
}

TEST_F(SettingsButtonTest, TheButtonOpensTheWindowThatEndingTheProgramUnloads)
{
    const QString first = writeDatabase("first.mdb", {TextTable("Alpha")});
    nameDatabase(first);
    ASSERT_TRUE(initialised);
    ShowMainWindow();
    ASSERT_EQ(LoadedForms().size(), 1);
    std::unique_ptr<frmMain> shown(qobject_cast<frmMain*>(LoadedForms().front()));
    ASSERT_NE(shown, nullptr);

    QString ownerName;
    QStringList formsWhileOpen;
    bool openAfterExit = true;
    onNextSettingsWindow([&](frmSetting& window) {
        ownerName = window.parentWidget()->objectName();
        for (const QWidget* form : LoadedForms())
            formsWhileOpen << form->objectName();
        window.txtUser->setText("kim");
        ExitApplication(shown.get());
        openAfterExit = window.isVisible();
    });
    shown->cmdSettings->click();

    EXPECT_EQ(ownerName, "frmMain");
    EXPECT_EQ(formsWhileOpen, QStringList({"frmMain", "frmSetting"}));
    EXPECT_FALSE(openAfterExit);
    EXPECT_EQ(GetPrivateProfileString("DataConnection", "User", "", iniFile()), "kim");
    EXPECT_EQ(endProcessCount, 1);
}

}  // namespace
}  // namespace varnex::test
