#include "MainWindowFixture.h"

#include "app/AppSettings.h"
#include "core/Application.h"
#include "core/Clock.h"
#include "core/Log.h"
#include "data/Connection.h"
#include "shell/Windows.h"
#include "support/MessageRecorder.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QTextStream>
#include <QtTest/QTest>

namespace varnex::test {

MainWindowFixture::MainWindowFixture() : boxes_(std::make_unique<MessageRecorder>())
{
    previousEndProcess_ = setEndProcessHandler([this] { ++endProcessCount_; });
    AppSettings& globals = appSettings();
    globals = AppSettings{};
    setLogFolder(dir_.path() + QStringLiteral("/"));
    // What the window remembers between runs stays in the test's folder.
    setAppFolderForTesting(dir_.path());
}

MainWindowFixture::~MainWindowFixture()
{
    window_.reset();
    if (appSettings().connection)
        (void)appSettings().connection->close();
    appSettings() = AppSettings{};
    setLogFolder({});
    setAppFolderForTesting({});
    setEndProcessHandler(previousEndProcess_);
}

void MainWindowFixture::OpenDatabase(const jetwriter::Database& database)
{
    const QString path = dir_.file(QStringLiteral("browse%1.mdb").arg(++databaseCount_));
    jetwriter::writeDatabase(database, path.toStdString());
    OpenFile(path, database.format == jetwriter::Format::Jet4);
}

void MainWindowFixture::OpenFile(const QString& path, bool jet4)
{
    if (appSettings().connection)
        (void)appSettings().connection->close();
    auto connection = std::make_shared<Connection>();
    connection->setConnectionString(jet4 ? QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0")
                                         : QStringLiteral("Provider=Microsoft.Jet.OLEDB.3.51"));
    const Status opened = connection->open(path, QStringLiteral("Admin"), QString());
    ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
    appSettings().dataPath = path;
    appSettings().connection = connection;
}

MainWindow& MainWindowFixture::ShowWindow()
{
    window_ = std::make_unique<MainWindow>();
    registerWindow(window_.get());
    const Status loaded = window_->fillTableList();
    EXPECT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
    window_->show();
    // The window's keys are actions of the window, which take keys only while it is active.
    window_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    return *window_;
}

QStringList MainWindowFixture::ListEntries() const
{
    QStringList entries;
    for (int i = 0; i < window_->tableList->count(); ++i)
        entries << window_->tableList->itemText(i);
    return entries;
}

void MainWindowFixture::Pick(const QString& tableName)
{
    const int index = window_->tableList->findText(tableName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_NE(index, -1) << tableName.toStdString();
    window_->tableList->setCurrentIndex(index);
    emit window_->tableList->activated(index);
}

QStringList MainWindowFixture::ColumnTexts(int column) const
{
    QStringList texts;
    const QAbstractItemModel* model = window_->grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

void MainWindowFixture::WaitForGrid() const
{
    const bool idle = QTest::qWaitFor([this] { return !window_->grid->isBusy() && !window_->grid->isCopying(); }, 60000);
    EXPECT_TRUE(idle) << "the grid's background work did not end";
}

QStringList MainWindowFixture::LogLines() const
{
    QFile log(logFolder() + currentDateTime().date().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

int MainWindowFixture::MessageBoxCount() const
{
    return static_cast<int>(boxes_->calls().size());
}

QString MainWindowFixture::LastMessageBoxTitle() const
{
    return boxes_->calls().empty() ? QString() : boxes_->calls().back().title;
}

jetwriter::Table TextTable(const std::string& name, std::vector<std::string> columns, std::vector<jetwriter::Row> rows)
{
    jetwriter::Table table;
    table.name = name;
    for (std::string& column : columns)
        table.columns.push_back({std::move(column), jetwriter::ColumnType::Text});
    table.rows = std::move(rows);
    return table;
}

}  // namespace varnex::test
