#include "settings/SettingsTestFixture.h"

#include "platform/AnsiCodec.h"
#include "platform/AppInfo.h"
#include "settings/frmSetting.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace varnex::test {

void SettingsFixture::SetUp()
{
    SetAppPathForTesting(appDir.path());
    Globals() = GlobalSettings{};
    Globals().gIniFile = appDir.file(QStringLiteral("Setup.ini"));
}

void SettingsFixture::TearDown()
{
    SetAnsiCodeSetForTesting({});
    Globals() = GlobalSettings{};
    SetAppPathForTesting({});
}

void SettingsFixture::writeIni(const std::string& bytes) const
{
    QFile file(iniFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), qint64(bytes.size()));
}

std::string SettingsFixture::iniBytes() const
{
    QFile file(iniFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

QString SettingsFixture::makeFile(const QString& relativePath) const
{
    const QString path = appDir.file(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path;
}

void SettingsFixture::chooseInDialog(const QString& path)
{
    fileDialog.setAnswer(path);
}

void SettingsFixture::cancelDialog()
{
    static const std::optional<QString> cancel;
    fileDialog.setAnswer(cancel);
}

void SettingsFixture::openAndClose(const std::function<void(frmSetting&)>& use)
{
    frmSetting window;
    QTimer::singleShot(0, &window, [&] {
        if (use)
            use(window);
        window.close();
    });
    window.ShowModal();
}

void SettingsFixture::onNextSettingsWindow(const std::function<void(frmSetting&)>& use)
{
    QTimer::singleShot(0, qApp, [use] {
        auto* window = qobject_cast<frmSetting*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr) << "the settings window is not open";
        use(*window);
        window->close();
    });
}

}  // namespace varnex::test
