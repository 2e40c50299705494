// The main window moved to a screen of another resolution places its controls anew, in
// twips at the new screen's resolution. The offscreen platform here has two screens, side by
// side, of 96 and 144 dots per inch (its own main() sets them up before the application).

#include "shell/MainWindow.h"
#include "shell/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryFile>
#include <QWindow>

#include <gtest/gtest.h>

namespace varnex {
namespace {

QRect expectedPlace(const TwipsRect& rect, float twipsPerPixel)
{
    return {twipsToPixels(rect.left, twipsPerPixel), twipsToPixels(rect.top, twipsPerPixel),
            twipsToPixels(rect.width, twipsPerPixel), twipsToPixels(rect.height, twipsPerPixel)};
}

TEST(ScreenChange, ControlsFollowTheResolutionOfTheNewScreen)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    const struct {
        const char* name;
        int to;
        float twipsPerPixel;
    } moves[] = {{"to 144 dpi", 1, 1440.0f / 144}, {"back to 96 dpi", 0, 1440.0f / 96}};

    MainWindow window;
    window.show();
    ASSERT_NE(window.windowHandle(), nullptr);
    for (const auto& move : moves) {
        SCOPED_TRACE(move.name);
        window.windowHandle()->setScreen(screens[move.to]);
        QApplication::processEvents();
        EXPECT_EQ(window.screen(), screens[move.to]);
        EXPECT_FLOAT_EQ(screenTwipsPerPixel(&window), move.twipsPerPixel);
        EXPECT_EQ(window.settingsButton->geometry(), expectedPlace(window.controlLayout().settingsButton, move.twipsPerPixel));
        EXPECT_EQ(window.tableList->geometry(), expectedPlace(window.controlLayout().tableList, move.twipsPerPixel));
    }
}

}  // namespace
}  // namespace varnex

int main(int argc, char** argv)
{
    QTemporaryFile config;
    if (!config.open())
        return 2;
    config.write(R"({"screens": [
        {"name": "left", "x": 0, "y": 0, "width": 1024, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "right", "x": 1024, "y": 0, "width": 2048, "height": 1536, "logicalDpi": 144, "logicalBaseDpi": 144, "dpr": 1}
    ]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
