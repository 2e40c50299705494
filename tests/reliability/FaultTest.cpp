// Faults users meet while the program runs: the database file deleted, cut short
// or replaced; Setup.ini full of junk, gone between reads, or read-only; a log
// folder that cannot be made or a log file that cannot be written. Each ends with
// its documented message, and nothing the user had is lost: Setup.ini and exported
// files keep their bytes, and the program carries on once the file is sound again.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "app/AppSettings.h"
#include "app/LoadSettings.h"
#include "core/Application.h"
#include "core/Log.h"
#include "data/Connection.h"
#include "jetwriter/JetWriter.h"
#include "shell/ExportCommand.h"
#include "shell/MainWindow.h"
#include "shell/SettingsDialog.h"
#include "shell/Windows.h"
#include "support/AsOrdinaryUser.h"
#include "support/DesktopSandbox.h"
#include "support/FileDialogStub.h"
#include "support/FileSizeLimit.h"
#include "support/MessageRecorder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

jetwriter::Database Shop(const std::vector<std::string>& tables)
{
    jetwriter::Database database;
    database.format = jetwriter::Format::Jet4;
    for (const std::string& name : tables) {
        jetwriter::Table table{name, {{"ID", ColumnType::Long}, {"Name", ColumnType::Text, 30}}, {}, {}};
        for (int64_t i = 1; i <= 40; ++i)
            table.rows.push_back({i, name + " " + std::to_string(i)});
        database.tables.push_back(table);
    }
    return database;
}

QByteArray Junk(size_t length, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes;
    for (size_t i = 0; i < length; ++i)
        bytes.append(static_cast<char>(random()));
    // Lines of every kind a damaged file may hold: a lone bracket, a NUL, a bare CR.
    bytes.insert(length / 3, QByteArray("\r\n[Gen\0eral\r=\n", 15));
    return bytes;
}

QString BoxesText(const QList<Message>& boxes)
{
    QString text;
    for (const Message& box : boxes)
        text += QStringLiteral("[%1|%2] %3\n").arg(box.title).arg(test::StyleName(box.style)).arg(box.text);
    return text;
}

// A sandboxed application folder with Setup.ini naming a database, message boxes
// recorded, and the main window shown over it.
class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        database_ = sandbox_.file(QStringLiteral("shop.mdb"));
        writeDatabase(Shop({"Customers", "Orders"}));
        sandbox_.writeSetupIni(setupIni());
    }
    void TearDown() override
    {
        if (window_) {
            unloadWindow(window_.get());
            window_.reset();
        }
        if (appSettings().connection && appSettings().connection->isOpen())
            (void)appSettings().connection->close();
    }

    QByteArray setupIni() const
    {
        return "[DataConnection]\r\nPath=" + database_.toUtf8() + "\r\nConnectionString=Provider=Microsoft.Jet.OLEDB.4.0\r\n";
    }
    void writeDatabase(const jetwriter::Database& database) const { jetwriter::writeDatabase(database, database_.toStdString()); }

    MainWindow& start()
    {
        EXPECT_TRUE(loadSettings()) << BoxesText(boxes_.calls()).toStdString();
        window_ = std::make_unique<MainWindow>();
        registerWindow(window_.get());
        const Status loaded = window_->fillTableList();
        EXPECT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
        window_->show();
        return *window_;
    }

    void pick(const QString& table)
    {
        const int index = window_->tableList->findText(table);
        ASSERT_NE(index, -1) << table.toStdString();
        window_->tableList->setCurrentIndex(index);
        emit window_->tableList->activated(index);
    }
    int gridRows() const { return window_->grid->model() ? window_->grid->model()->rowCount() : 0; }

    QByteArray exportGrid(const QString& name)
    {
        FileDialogStub dialog(sandbox_.file(name));
        exportShownTable(*window_);
        return DesktopSandbox::readFile(sandbox_.file(name));
    }

    QStringList logLines(const QString& folder) const
    {
        return QString::fromUtf8(DesktopSandbox::readFile(sandbox_.logFile(folder))).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    DesktopSandbox sandbox_;
    MessageRecorder boxes_;
    QString database_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(RunningProgram, DatabaseFileChangedUnderTheOpenWindow)
{
    struct Case {
        const char* name;
        std::function<void(const QString&)> change;
        QString message;  // %1: the database path
    };
    const QString notFound = QStringLiteral("Could not find file '%1'.");
    const QString unrecognized = QStringLiteral("Unrecognized database format '%1'.");
    const QString noTable = QStringLiteral("The Microsoft Jet database engine cannot find the input table or query 'Orders'.  "
                                           "Make sure it exists and that its name is spelled correctly.");
    const std::vector<Case> cases = {
        {"deleted", [](const QString& path) { QFile::remove(path); }, notFound},
        {"cut to its header page", [](const QString& path) { QFile::resize(path, 4096); }, unrecognized},
        {"cut in the middle", [](const QString& path) { QFile::resize(path, QFileInfo(path).size() / 2); }, unrecognized},
        {"replaced by junk", [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(Junk(64 * 1024, 7));
         }, unrecognized},
        {"replaced by a database without the table", [this](const QString&) { writeDatabase(Shop({"Customers"})); }, noTable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeDatabase(Shop({"Customers", "Orders"}));
        start();
        pick(QStringLiteral("Customers"));
        ASSERT_EQ(gridRows(), 40);
        const QByteArray exported = exportGrid(QStringLiteral("customers.csv"));
        ASSERT_TRUE(exported.startsWith("\"ID\",\"Name\"") || exported.startsWith("ID,Name")) << exported.left(40).toStdString();
        boxes_.clear();

        c.change(database_);
        pick(QStringLiteral("Orders"));
        const QString expected = c.message.contains(QStringLiteral("%1")) ? c.message.arg(database_) : c.message;
        ASSERT_EQ(boxes_.calls().size(), 1u) << BoxesText(boxes_.calls()).toStdString();
        EXPECT_EQ(boxes_.calls()[0].title, QStringLiteral("LoadTableError"));
        EXPECT_EQ(boxes_.calls()[0].style, MessageStyle::Critical);
        EXPECT_EQ(boxes_.calls()[0].text, expected);
        ASSERT_FALSE(logLines(logFolder()).isEmpty());
        EXPECT_TRUE(logLines(logFolder()).last().endsWith(QStringLiteral("LoadTableError: ") + expected));
        EXPECT_EQ(gridRows(), 0);

        // The file written earlier keeps its bytes; the sound file is read again without a restart.
        EXPECT_EQ(DesktopSandbox::readFile(sandbox_.file(QStringLiteral("customers.csv"))), exported);
        writeDatabase(Shop({"Customers", "Orders"}));
        boxes_.clear();
        pick(QStringLiteral("Orders"));
        EXPECT_EQ(gridRows(), 40) << BoxesText(boxes_.calls()).toStdString();
        EXPECT_TRUE(boxes_.calls().isEmpty());

        unloadWindow(window_.get());
        window_.reset();
        QFile::remove(sandbox_.file(QStringLiteral("customers.csv")));
    }
}

TEST_F(RunningProgram, SetupIniWithBinaryJunk)
{
    // Junk alone: no database named; junk before sound sections: they are still found.
    sandbox_.writeSetupIni(Junk(4000, 1));
    const QByteArray junkOnly = DesktopSandbox::readFile(sandbox_.file(QStringLiteral("Setup.ini")));
    EXPECT_TRUE(loadSettings());
    ASSERT_EQ(boxes_.calls().size(), 1u) << BoxesText(boxes_.calls()).toStdString();
    EXPECT_EQ(boxes_.calls()[0], (Message{QStringLiteral("Data Connection Path not specifed.  Aborting"), MessageStyle::Critical,
                                             QStringLiteral("Init Globals")}));
    EXPECT_EQ(appSettings().connection, nullptr);
    EXPECT_EQ(DesktopSandbox::readFile(sandbox_.file(QStringLiteral("Setup.ini"))), junkOnly);

    boxes_.clear();
    sandbox_.writeSetupIni(Junk(4000, 2) + "\r\n" + setupIni() + "[Export]\r\nIncHeader=False\r\n");
    MainWindow& window = start();
    EXPECT_TRUE(boxes_.calls().isEmpty()) << BoxesText(boxes_.calls()).toStdString();
    EXPECT_EQ(appSettings().dataPath, database_);
    EXPECT_FALSE(appSettings().includeHeader);
    EXPECT_EQ(window.tableList->count(), 2);
}

TEST_F(RunningProgram, SetupIniRemovedBetweenReads)
{
    // The file goes while the box about the missing database is up; every later read
    // says so and takes its default.
    const QString ini = sandbox_.file(QStringLiteral("Setup.ini"));
    sandbox_.writeSetupIni("[DataConnection]\r\nPath=" + sandbox_.file("gone.mdb").toUtf8() + "\r\nUser=Someone\r\n"
                           "[Export]\r\nIncHeader=False\r\n");
    QList<Message> shown;
    const MessageHandler previous = setMessageHandler([&](const Message& call) {
        shown.append(call);
        QFile::remove(ini);
        return 1;
    });
    EXPECT_TRUE(loadSettings());
    setMessageHandler(previous);

    const Message missingIni{QStringLiteral("Could not find '%1'").arg(ini), MessageStyle::Plain, appTitle()};
    const QList<Message> expected = {
        {QStringLiteral("Could not find Rilk.mdb. Path = '%1'.").arg(sandbox_.file("gone.mdb")), MessageStyle::Critical, appTitle()},
        missingIni, missingIni, missingIni};
    EXPECT_EQ(shown, expected) << BoxesText(shown).toStdString();
    EXPECT_TRUE(appSettings().includeHeader);
    EXPECT_EQ(appSettings().user, QStringLiteral("Admin"));
    EXPECT_EQ(appSettings().password, QString());
    EXPECT_EQ(appSettings().dataPath, QString());
}

TEST_F(RunningProgram, ReadOnlySetupIniIsReadAndItsFailedWriteReported)
{
    const QString ini = sandbox_.file(QStringLiteral("Setup.ini"));
    QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QFile::setPermissions(sandbox_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                               | QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ReadGroup
                                               | QFileDevice::ExeGroup);
    const QByteArray before = DesktopSandbox::readFile(ini);
    start();
    EXPECT_TRUE(boxes_.calls().isEmpty()) << BoxesText(boxes_.calls()).toStdString();
    EXPECT_EQ(window_->tableList->count(), 2);
    {
        AsOrdinaryUser user;
        SettingsDialog settings(window_.get());
        settings.loadFromSettings();
        settings.userEdit->setText(QStringLiteral("Someone"));
        settings.storeCredentials();
    }
    ASSERT_FALSE(boxes_.calls().isEmpty());
    for (const Message& box : boxes_.calls())
        EXPECT_EQ(box, (Message{QStringLiteral("Could not save the settings to '%1'.").arg(ini), MessageStyle::Critical, appTitle()}));
    EXPECT_EQ(DesktopSandbox::readFile(ini), before);
    QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Settings saved onto a full disk, in a writable folder and in a read-only one that holds
// a writable Setup.ini: the failure is reported and Setup.ini keeps every byte.
TEST_F(RunningProgram, SettingsSavedOntoAFullDiskKeepSetupIni)
{
    const QString ini = sandbox_.file(QStringLiteral("Setup.ini"));
    const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                          | QFileDevice::ReadOther | QFileDevice::ExeOther;
    const auto writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const struct {
        const char* name;
        QFileDevice::Permissions folder;
    } cases[] = {{"writable folder", readable | writable}, {"read-only folder", readable}};
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther | writable);
        QFile::setPermissions(sandbox_.path(), c.folder);
        SettingsDialog settings(window_.get());
        settings.loadFromSettings();  // may itself write the header option
        const QByteArray before = DesktopSandbox::readFile(ini);
        boxes_.clear();
        {
            AsOrdinaryUser user;
            settings.userEdit->setText(QString(2000, QLatin1Char('u')));
            settings.passwordEdit->setText(QString(2000, QLatin1Char('p')));
            const FileSizeLimit disk(static_cast<rlim_t>(before.size()) + 100);
            settings.storeCredentials();
        }
        QFile::setPermissions(sandbox_.path(), readable | QFileDevice::WriteOwner);
        ASSERT_FALSE(boxes_.calls().isEmpty());
        for (const Message& box : boxes_.calls())
            EXPECT_EQ(box, (Message{QStringLiteral("Could not save the settings to '%1'.").arg(ini), MessageStyle::Critical, appTitle()}));
        EXPECT_EQ(DesktopSandbox::readFile(ini), before);
        EXPECT_EQ(QDir(sandbox_.path()).entryList({"*Setup.ini*"}, QDir::Files | QDir::Hidden), QStringList{"Setup.ini"});
    }
}

TEST_F(RunningProgram, LogThatCannotBeWritten)
{
    struct Case {
        const char* name;
        QString logDir;                  // relative to the application folder
        std::function<void()> prepare;
        bool lineInApplicationFolder;
        bool loadErrorShown;
    };
    const std::vector<Case> cases = {
        // Below a plain file no folder can be made, as on a drive that is not there.
        {"log folder on a path that cannot exist", QStringLiteral("plain-file/Logs"),
         [this] { QFile file(sandbox_.file("plain-file")); ASSERT_TRUE(file.open(QIODevice::WriteOnly)); }, true, true},
        // A folder in the place of the day's file: it cannot be opened, whoever runs the test.
        {"log file that cannot be opened", QStringLiteral("Logs"),
         [this] { ASSERT_TRUE(QDir(sandbox_.path()).mkpath(QFileInfo(sandbox_.logFile(sandbox_.file("Logs"))).filePath())); },
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        sandbox_.writeSetupIni("[General]\r\nLogDir=" + sandbox_.file(c.logDir).toUtf8() + "\r\n" + setupIni());
        start();
        QFile::remove(database_);
        boxes_.clear();
        pick(QStringLiteral("Orders"));

        const QString failure = QStringLiteral("Could not find file '%1'.").arg(database_);
        const QList<Message>& shown = boxes_.calls();
        ASSERT_FALSE(shown.isEmpty());
        const bool loadErrorShown = shown.last() == Message{failure, MessageStyle::Critical, QStringLiteral("LoadTableError")};
        EXPECT_EQ(loadErrorShown, c.loadErrorShown) << BoxesText(shown).toStdString();
        // The reason the log failed comes first, in a plain box under the program's title.
        EXPECT_EQ(shown.first().style, MessageStyle::Plain) << BoxesText(shown).toStdString();
        EXPECT_EQ(shown.first().title, appTitle());
        EXPECT_FALSE(shown.first().text.isEmpty());
        const QStringList inApplicationFolder = logLines(sandbox_.path());
        EXPECT_EQ(!inApplicationFolder.isEmpty() && inApplicationFolder.last().endsWith("LoadTableError: " + failure),
                  c.lineInApplicationFolder);

        unloadWindow(window_.get());
        window_.reset();
        writeDatabase(Shop({"Customers", "Orders"}));
        QFile::remove(sandbox_.logFile(sandbox_.path()));
    }
}

}  // namespace
}  // namespace varnex::test
