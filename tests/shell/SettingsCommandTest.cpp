// The Settings button: the window over the main window, then the settings
// re-read and the table list refilled.

#include "SettingsDialogFixture.h"

#include "app/LoadSettings.h"
#include "core/ProfileString.h"
#include "data/Connection.h"
#include "shell/MainWindow.h"
#include "shell/SettingsCommand.h"
#include "shell/SettingsDialog.h"
#include "shell/ShowMainWindow.h"
#include "shell/Startup.h"
#include "shell/Windows.h"

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

class SettingsCommandTest : public SettingsDialogFixture {
protected:
    void SetUp() override
    {
        SettingsDialogFixture::SetUp();
        previousEnd_ = setEndProcessHandler([this] { ++endProcessCount; });
    }
    void TearDown() override
    {
        main_.reset();
        if (appSettings().connection)
            (void)appSettings().connection->close();
        setEndProcessHandler(previousEnd_);
        SettingsDialogFixture::TearDown();
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
        initialised = loadSettings();
    }

    // Starts as the program does, with a main window of the test's own.
    MainWindow& start(const QString& database)
    {
        nameDatabase(database);
        main_ = std::make_unique<MainWindow>();
        registerWindow(main_.get());
        main_->refillTableList();
        main_->show();
        return *main_;
    }

    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < main_->tableList->count(); ++i)
            entries << main_->tableList->itemText(i);
        return entries;
    }

    QStringList gridColumn(int column) const
    {
        QStringList texts;
        const QAbstractItemModel* model = main_->grid->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }

    QString storedPath() const
    {
        return readProfileString("DataConnection", "Path", "", iniFile());
    }

    bool initialised = false;
    int endProcessCount = 0;

private:
    std::unique_ptr<MainWindow> main_;
    EndProcessHandler previousEnd_;
};

// The grid lets the old database's table go: it never shows another database than the status line names.
TEST_F(SettingsCommandTest, AChosenDatabaseRefillsTheListAndEmptiesTheGrid)
{
    const QString first = writeDatabase("first.mdb", {TextTable("Alpha", {{"a1", "one"}, {"a2", "two"}}),
                                                                 TextTable("Beta")});
    const QString second = writeDatabase("second.mdb", {TextTable("Gamma"), TextTable("MSysLocal")});
    MainWindow& main = start(first);
    ASSERT_TRUE(initialised);
    ASSERT_EQ(listEntries(), QStringList({"Alpha", "Beta"}));
    main.showTable("Alpha");

    QWidget* ownerSeen = nullptr;
    bool modal = false;
    chooseInDialog(second);
    onNextSettingsWindow([&](SettingsDialog& window) {
        ownerSeen = window.parentWidget();
        modal = window.isModal();
        window.browseButton->click();
    });
    editSettings(main);

    EXPECT_EQ(ownerSeen, &main);
    EXPECT_TRUE(modal);
    EXPECT_EQ(storedPath(), second);
    EXPECT_EQ(appSettings().dataPath, second);
    EXPECT_EQ(listEntries(), QStringList({"Gamma"}));
    EXPECT_EQ(main.grid->recordset(), nullptr);
    EXPECT_EQ(gridColumn(1), QStringList());
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(loadedWindows().contains(nullptr));
    EXPECT_EQ(loadedWindows().size(), 1);  // the settings window is gone again
}

TEST_F(SettingsCommandTest, ADatabaseThatCannotBeOpenedIsStoredAndTheRefillSkipped)
{
    const QString first = writeDatabase("first.mdb", {TextTable("Alpha", {{"a1", "one"}})});
    const QString broken = makeFile("broken.mdb");
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    MainWindow& main = start(first);
    ASSERT_TRUE(initialised);
    main.showTable("Alpha");

    chooseInDialog(broken);
    onNextSettingsWindow([](SettingsDialog& window) { window.browseButton->click(); });
    editSettings(main);

    EXPECT_EQ(storedPath(), broken);  // kept for the next start
    EXPECT_EQ(listEntries(), QStringList({"Alpha"}));
    EXPECT_EQ(main.grid->recordset(), nullptr);  // the settings name another database now
    EXPECT_EQ(gridColumn(1), QStringList());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "Init Globals");
    EXPECT_EQ(boxes()[0].style, MessageStyle::Critical);
}

TEST_F(SettingsCommandTest, TheButtonOpensTheWindowThatEndingTheProgramUnloads)
{
    const QString first = writeDatabase("first.mdb", {TextTable("Alpha")});
    nameDatabase(first);
    ASSERT_TRUE(initialised);
    ASSERT_TRUE(showMainWindow().ok());
    ASSERT_EQ(loadedWindows().size(), 1);
    std::unique_ptr<MainWindow> shown(qobject_cast<MainWindow*>(loadedWindows().front()));
    ASSERT_NE(shown, nullptr);

    QString ownerName;
    QStringList formsWhileOpen;
    bool openAfterExit = true;
    onNextSettingsWindow([&](SettingsDialog& window) {
        ownerName = window.parentWidget()->objectName();
        for (const QWidget* form : loadedWindows())
            formsWhileOpen << form->objectName();
        window.userEdit->setText("kim");
        exitApplication(shown.get());
        openAfterExit = window.isVisible();
    });
    shown->settingsButton->click();

    EXPECT_EQ(ownerName, "frmMain");
    EXPECT_EQ(formsWhileOpen, QStringList({"frmMain", "frmSetting"}));
    EXPECT_FALSE(openAfterExit);
    EXPECT_EQ(readProfileString("DataConnection", "User", "", iniFile()), "kim");
    EXPECT_EQ(endProcessCount, 1);
}

}  // namespace
}  // namespace varnex::test
