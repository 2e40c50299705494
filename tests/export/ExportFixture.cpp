#include "ExportFixture.h"

#include "app/GlobalSettings.h"
#include "export/cmdExport_Click.h"
#include "platform/AnsiCodec.h"
#include "platform/AppInfo.h"
#include "platform/data/Connection.h"
#include "platform/data/DataTypes.h"

#include <QDir>
#include <QFile>

namespace varnex::test {

void ExportFixture::SetUp()
{
    // Exported bytes are compared as UTF-8, whatever the locale of the test run.
    SetAnsiCodeSetForTesting("UTF-8");
    SetAppPathForTesting(dir_.path());
    QDir(dir_.path()).mkpath(QStringLiteral("log"));
    QDir(dir_.path()).mkpath(QStringLiteral("out"));
    GlobalSettings& globals = Globals();
    globals.gLogDir = dir_.file(QStringLiteral("log/"));
    globals.gIncHeader = 0;
    previousMsgBox_ = SetMsgBoxHandler([this](const MsgBoxCall& call) {
        boxes_.push_back(call);
        return msgbox::vbOK;
    });
    previousDialog_ = SetFileDialogHandler([this](const CommonDialog& dialog) {
        dialogs_.push_back({dialog.InitDir, dialog.DialogTitle, dialog.Filter, dialog.FileName, dialog.CancelError});
        return answer_;
    });
}

void ExportFixture::TearDown()
{
    if (form_)
        form_->dgData->setDataSource(nullptr);
    form_.reset();
    SetMsgBoxHandler(previousMsgBox_);
    SetFileDialogHandler(previousDialog_);
    GlobalSettings& globals = Globals();
    if (globals.gConn && globals.gConn->State() != adStateClosed)
        (void)globals.gConn->Close();
    globals = GlobalSettings{};
    SetAppPathForTesting({});
    SetAnsiCodeSetForTesting({});
}

void ExportFixture::openDatabase(const std::vector<jetwriter::Table>& tables)
{
    jetwriter::Database database;
    database.format = jetwriter::Format::Jet4;
    database.tables = tables;
    const QString file = dir_.file(QStringLiteral("data.mdb"));
    jetwriter::writeDatabase(database, file.toStdString());
    connectTo(file, QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"));
}

void ExportFixture::connectTo(const QString& file, const QString& provider)
{
    auto connection = std::make_shared<Connection>();
    connection->setConnectionString(provider);
    const Status opened = connection->Open(file, QStringLiteral("Admin"), QString(), adOptionUnspecified);
    ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
    Globals().gDataPath = file;
    Globals().gConn = connection;
}

void ExportFixture::showTable(const jetwriter::Table& table)
{
    openDatabase({table});
    form().LoadTable(QString::fromStdString(table.name));
    ASSERT_NE(form().dgData->DataSource(), nullptr) << "the table did not load";
}

frmMain& ExportFixture::form()
{
    if (!form_)
        form_ = std::make_unique<frmMain>();
    return *form_;
}

QByteArray ExportFixture::exportAs(const QString& chosenName)
{
    answerSaveDialog(pathOf(chosenName));
    pressExport();
    return readFile(pathOf(chosenName + QStringLiteral(".CSV")));
}

void ExportFixture::pressExport()
{
    cmdExport_Click(form());
}

void ExportFixture::setHeader(bool on)
{
    Globals().gIncHeader = on ? -1 : 0;
}

QStringList ExportFixture::filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray ExportFixture::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

void ExportFixture::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList ExportFixture::logLines() const
{
    QStringList lines;
    const QString logDir = dir_.file(QStringLiteral("log"));
    for (const QString& name : filesIn(logDir)) {
        const QString text = QString::fromUtf8(readFile(logDir + QLatin1Char('/') + name));
        lines += text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    return lines;
}

}  // namespace varnex::test
