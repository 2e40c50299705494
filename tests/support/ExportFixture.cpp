#include "support/ExportFixture.h"

#include "app/AppSettings.h"
#include "core/Application.h"
#include "core/LocaleCodec.h"
#include "core/Log.h"
#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "shell/ExportCommand.h"

#include <QDir>
#include <QFile>

namespace varnex::test {

void ExportFixture::SetUp()
{
    // Exported bytes are compared as UTF-8, whatever the locale of the test run.
    setLocaleCodeSetForTesting("UTF-8");
    setAppFolderForTesting(dir_.path());
    QDir(dir_.path()).mkpath(QStringLiteral("log"));
    QDir(dir_.path()).mkpath(QStringLiteral("out"));
    AppSettings& globals = appSettings();
    setLogFolder(dir_.file(QStringLiteral("log/")));
    globals.includeHeader = false;
    previousMsgBox_ = setMessageHandler([this](const Message& call) {
        boxes_.push_back(call);
    });
    previousQuestion_ = setQuestionHandler([this](const Message& question) {
        questions_.push_back(question);
        return replaceAnswer_;
    });
    previousDialog_ = setFileDialogHandler([this](const FileDialog& dialog) {
        dialogs_.push_back({dialog.initialFolder, dialog.title, dialog.filter, dialog.fileName});
        return answer_;
    });
}

void ExportFixture::TearDown()
{
    if (form_)
        form_->grid->setRecordset(nullptr);
    form_.reset();
    setMessageHandler(previousMsgBox_);
    setQuestionHandler(previousQuestion_);
    setFileDialogHandler(previousDialog_);
    AppSettings& globals = appSettings();
    if (globals.connection && globals.connection->isOpen())
        (void)globals.connection->close();
    globals = AppSettings{};
    setLogFolder({});
    setAppFolderForTesting({});
    setLocaleCodeSetForTesting({});
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

void ExportFixture::connectTo(const QString& file, const QString& provider, const QString& password)
{
    auto connection = std::make_shared<Connection>();
    connection->setConnectionString(provider);
    const Status opened = connection->open(file, QStringLiteral("Admin"), password);
    ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
    appSettings().dataPath = file;
    appSettings().connection = connection;
}

void ExportFixture::showTable(const jetwriter::Table& table)
{
    openDatabase({table});
    form().showTable(QString::fromStdString(table.name));
    ASSERT_NE(form().grid->recordset(), nullptr) << "the table did not load";
}

MainWindow& ExportFixture::form()
{
    if (!form_)
        form_ = std::make_unique<MainWindow>();
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
    exportShownTable(form());
}

void ExportFixture::setHeader(bool on)
{
    appSettings().includeHeader = on;
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
