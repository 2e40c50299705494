#include "SettingsDialogFixture.h"

#include "core/AppFolders.h"
#include "core/Application.h"
#include "core/LocaleCodec.h"
#include "shell/SettingsDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace varnex::test {

void SettingsDialogFixture::SetUp()
{
    setAppFolderForTesting(appDir.path());
    setFolderLayoutForTesting(FolderLayout::BesideExecutable);
    appSettings() = AppSettings{};
    appSettings().iniFile = appDir.file(QStringLiteral("Setup.ini"));
}

void SettingsDialogFixture::TearDown()
{
    setLocaleCodeSetForTesting({});
    appSettings() = AppSettings{};
    setFolderLayoutForTesting(std::nullopt);
    setAppFolderForTesting({});
}

void SettingsDialogFixture::writeIni(const std::string& bytes) const
{
    QFile file(iniFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), qint64(bytes.size()));
}

std::string SettingsDialogFixture::iniBytes() const
{
    QFile file(iniFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

QString SettingsDialogFixture::makeFile(const QString& relativePath) const
{
    const QString path = appDir.file(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path;
}

void SettingsDialogFixture::chooseInDialog(const QString& path)
{
    fileDialog.setAnswer(path);
}

void SettingsDialogFixture::cancelDialog()
{
    static const std::optional<QString> cancel;
    fileDialog.setAnswer(cancel);
}

void SettingsDialogFixture::openAndClose(const std::function<void(SettingsDialog&)>& use)
{
    SettingsDialog window;
    QTimer::singleShot(0, &window, [&] {
        if (use)
            use(window);
        window.close();
    });
    window.showModal();
}

void SettingsDialogFixture::onNextSettingsWindow(const std::function<void(SettingsDialog&)>& use)
{
    QTimer::singleShot(0, qApp, [use] {
        auto* window = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr) << "the settings window is not open";
        use(*window);
        window->close();
    });
}

}  // namespace varnex::test
