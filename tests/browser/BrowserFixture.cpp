#include "BrowserFixture.h"

#include "app/GlobalSettings.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/data/Connection.h"
#include "support/MsgBoxRecorder.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QTextStream>

namespace varnex::test {

BrowserFixture::BrowserFixture() : boxes_(std::make_unique<MsgBoxRecorder>())
{
    previousEndProcess_ = SetEndProcessHandler([this] { ++endProcessCount_; });
    GlobalSettings& globals = Globals();
    globals = GlobalSettings{};
    globals.gLogDir = dir_.path() + QStringLiteral("/");
}

BrowserFixture::~BrowserFixture()
{
    window_.reset();
    if (Globals().gConn)
        (void)Globals().gConn->Close();
    Globals() = GlobalSettings{};
    SetEndProcessHandler(previousEndProcess_);
}

void BrowserFixture::OpenDatabase(const jetwriter::Database& database)
{
    const QString path = dir_.file(QStringLiteral("browse%1.mdb").arg(++databaseCount_));
    jetwriter::writeDatabase(database, path.toStdString());
    OpenFile(path, database.format == jetwriter::Format::Jet4);
}

void BrowserFixture::OpenFile(const QString& path, bool jet4)
{
    if (Globals().gConn)
        (void)Globals().gConn->Close();
    auto connection = std::make_shared<Connection>();
    connection->setConnectionString(jet4 ? QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0")
                                         : QStringLiteral("Provider=Microsoft.Jet.OLEDB.3.51"));
    const Status opened = connection->Open(path, QStringLiteral("Admin"), QString(), -1);
    ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
    Globals().gDataPath = path;
    Globals().gConn = connection;
}

frmMain& BrowserFixture::ShowWindow()
{
    window_ = std::make_unique<frmMain>();
    LoadForm(window_.get());
    const Status loaded = window_->Form_Load();
    EXPECT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
    window_->show();
    return *window_;
}

QStringList BrowserFixture::ListEntries() const
{
    QStringList entries;
    for (int i = 0; i < window_->cboTable->count(); ++i)
        entries << window_->cboTable->itemText(i);
    return entries;
}

void BrowserFixture::Pick(const QString& tableName)
{
    const int index = window_->cboTable->findText(tableName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_NE(index, -1) << tableName.toStdString();
    window_->cboTable->setCurrentIndex(index);
    emit window_->cboTable->activated(index);
}

QStringList BrowserFixture::ColumnTexts(int column) const
{
    QStringList texts;
    const QAbstractItemModel* model = window_->dgData->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QStringList BrowserFixture::LogLines() const
{
    QFile log(Globals().gLogDir + Now().date().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

int BrowserFixture::MessageBoxCount() const
{
    return static_cast<int>(boxes_->calls().size());
}

QString BrowserFixture::LastMessageBoxTitle() const
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
