#include "OpenDatabaseFixture.h"

#include "shell/SingleInstance.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>

#include <sys/stat.h>

namespace varnex::test {

OpenDatabaseFixture::~OpenDatabaseFixture()
{
    qDeleteAll(loadedWindows());
    setOpenFileHandler({});
}

QString OpenDatabaseFixture::writeDatabase(const QString& path, jetwriter::Format format,
                                           const std::vector<std::string>& tables, std::optional<std::string> password)
{
    jetwriter::Database db;
    db.format = format;
    db.password = std::move(password);
    for (const std::string& table : tables)
        db.tables.push_back({table, {{"N", jetwriter::ColumnType::Long}}, {{int64_t{1}}}, {}});
    jetwriter::writeDatabase(db, path.toStdString());
    return path;
}

QString OpenDatabaseFixture::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

MainWindow* OpenDatabaseFixture::mainWindow()
{
    const QList<QWidget*> forms = loadedWindows();
    return forms.size() == 1 ? qobject_cast<MainWindow*>(forms.front()) : nullptr;
}

QStringList OpenDatabaseFixture::tables()
{
    QStringList names;
    if (const MainWindow* window = mainWindow()) {
        for (int i = 0; i < window->tableList->count(); ++i)
            names << window->tableList->itemText(i);
    }
    return names;
}

bool OpenDatabaseFixture::drop(const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(mainWindow(), &enter);
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    dropped.setAccepted(false);
    QApplication::sendEvent(mainWindow(), &dropped);
    return enter.isAccepted() && dropped.isAccepted();
}

mode_t OpenDatabaseFixture::modeOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

}  // namespace varnex::test
