// How the settings window looks and how the keyboard moves through it.

#include "shell/SettingsDialog.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace varnex {
namespace {

bool At96Dpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->logicalDotsPerInchX() == 96 && screen->logicalDotsPerInchY() == 96;
}

TEST(SettingsDialogDesign, WindowIsAFixedSettingsBoxWithCloseBoxOnly)
{
    SettingsDialog window;
    EXPECT_EQ(window.objectName(), "frmSetting");
    EXPECT_EQ(window.windowTitle(), "Settings");
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    if (At96Dpi()) {
        EXPECT_EQ(window.size(), QSize(328, 133));
    }

    const QIcon icon = window.windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
    EXPECT_FALSE(QApplication::windowIcon().cacheKey() == icon.cacheKey());

    // The path changes only through the browse button.
    EXPECT_TRUE(window.dataPathEdit->isReadOnly());
    EXPECT_FALSE(window.browseButton->autoDefault());
}

TEST(SettingsDialogDesign, ControlsHaveTheirCaptionsPlacesAndFonts)
{
    SettingsDialog window;
    struct Case {
        const char* name;
        QString caption;
        QRect at96Dpi;
        bool bold;
    };
    const Case cases[] = {
        {"chkHeader", "Include Header", {16, 8, 129, 25}, true},
        {"txtDataPath", "Text1", {16, 104, 281, 19}, false},
        {"lblDataPath", "Data Path", {16, 88, 177, 17}, true},
        {"cmdDataPath", "...", {296, 104, 25, 19}, false},
        {"txtUser", "", {16, 56, 137, 19}, false},
        {"Label1", "User", {16, 40, 89, 17}, true},
        {"txtPassword", "", {160, 56, 137, 19}, false},
        {"Label2", "Password", {160, 40, 89, 17}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* control = window.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        QString caption;
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            caption = button->text();
        else if (auto* label = qobject_cast<QLabel*>(control))
            caption = label->text();
        else if (auto* box = qobject_cast<QLineEdit*>(control))
            caption = box->text();
        EXPECT_EQ(caption, c.caption);
        if (At96Dpi()) {
            EXPECT_EQ(control->geometry(), c.at96Dpi);
        }

        // Whatever family stands in for "MS Sans Serif", it is installed, of
        // the intended weight, and the caption fits its control.
        const QFontInfo font(control->font());
        EXPECT_FALSE(font.family().isEmpty());
        EXPECT_EQ(font.bold(), c.bold);
        EXPECT_NEAR(font.pointSizeF(), 8.25, 0.5);
        if (qobject_cast<QLabel*>(control) || qobject_cast<QCheckBox*>(control)) {
            EXPECT_LE(control->sizeHint().width(), control->width());
        }
    }
}

TEST(SettingsDialogDesign, FocusStartsOnTheCheckBoxAndTabsThroughTheFields)
{
    test::MessageRecorder boxes;
    SettingsDialog window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const QStringList expected{"chkHeader", "txtDataPath", "cmdDataPath", "txtUser",
                               "txtPassword", "chkHeader"};
    QStringList visited{QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                    : QString()};
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                : QString());
    }
    EXPECT_EQ(visited, expected);
}

TEST(SettingsDialogDesign, EscapeAndEnterDoNotCloseTheWindow)
{
    test::MessageRecorder boxes;  // an unload would try to store and report
    SettingsDialog window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    window.userEdit->setFocus();
    QTest::keyClick(window.userEdit, Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(boxes.calls().isEmpty());
    window.hide();
}

}  // namespace
}  // namespace varnex
