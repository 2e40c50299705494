#include "shell/SettingsDialog.h"

#include "shell/LegacyFont.h"
#include "shell/SettingsIcon.h"
#include "shell/Twips.h"
#include "shell/Windows.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace varnex {

namespace {

// Client area and control positions, in twips.
constexpr int kClientWidth = 4920;
constexpr int kClientHeight = 1995;

struct Placement {
    int left, top, width, height;
};
constexpr Placement includeHeaderAt{240, 120, 1935, 375};
constexpr Placement dataPathEditAt{240, 1560, 4215, 285};
constexpr Placement dataPathLabelAt{240, 1320, 2655, 255};
constexpr Placement browseButtonAt{4440, 1560, 375, 285};
constexpr Placement userEditAt{240, 840, 2055, 285};
constexpr Placement userLabelAt{240, 600, 1335, 255};
constexpr Placement passwordEditAt{2400, 840, 2055, 285};
constexpr Placement passwordLabelAt{2400, 600, 1335, 255};

// The window's standard font, and the bold one of its labels.
constexpr qreal kFontPointSize = 8.25;

QFont windowFont() { return legacyFont(kFontPointSize, false); }
QFont boldFont() { return legacyFont(kFontPointSize, true); }

template <class W>
W* makeControl(QWidget* parent, const char* name)
{
    auto* control = new W(parent);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Both edges are converted, so controls that touch or overlap keep doing so.
void place(QWidget* control, const Placement& at, float twipsPerPixel)
{
    const int left = twipsToPixels(static_cast<float>(at.left), twipsPerPixel);
    const int top = twipsToPixels(static_cast<float>(at.top), twipsPerPixel);
    const int right = twipsToPixels(static_cast<float>(at.left + at.width), twipsPerPixel);
    const int bottom = twipsToPixels(static_cast<float>(at.top + at.height), twipsPerPixel);
    control->setGeometry(left, top, right - left, bottom - top);
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmSetting"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowIcon(settingsIcon());
    setFont(windowFont());
    setSizeGripEnabled(false);
    createControls();
    layOut();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::createControls()
{
    includeHeaderBox = makeControl<QCheckBox>(this, "chkHeader");
    includeHeaderBox->setText(QStringLiteral("Include Header"));
    includeHeaderBox->setFont(boldFont());

    dataPathEdit = makeControl<QLineEdit>(this, "txtDataPath");
    dataPathEdit->setText(QStringLiteral("Text1"));
    dataPathEdit->setReadOnly(true);

    dataPathLabel = makeControl<QLabel>(this, "lblDataPath");
    dataPathLabel->setText(QStringLiteral("Data Path"));
    dataPathLabel->setFont(boldFont());

    browseButton = makeControl<QPushButton>(this, "cmdDataPath");
    browseButton->setText(QStringLiteral("..."));
    browseButton->setAutoDefault(false);
    browseButton->setDefault(false);

    userEdit = makeControl<QLineEdit>(this, "txtUser");

    userLabel = makeControl<QLabel>(this, "Label1");
    userLabel->setText(QStringLiteral("User"));
    userLabel->setFont(boldFont());

    passwordEdit = makeControl<QLineEdit>(this, "txtPassword");
    passwordEdit->setEchoMode(QLineEdit::Normal);

    passwordLabel = makeControl<QLabel>(this, "Label2");
    passwordLabel->setText(QStringLiteral("Password"));
    passwordLabel->setFont(boldFont());

    for (QLabel* label : {dataPathLabel, userLabel, passwordLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::NoFocus);
    }

    setTabOrder(includeHeaderBox, dataPathEdit);
    setTabOrder(dataPathEdit, browseButton);
    setTabOrder(browseButton, userEdit);
    setTabOrder(userEdit, passwordEdit);

    // Fires for every change of the value, also when the load handler ticks it.
    connect(includeHeaderBox, &QCheckBox::toggled, this, [this] { storeIncludeHeader(); });
    connect(browseButton, &QPushButton::clicked, this, [this] { browseForDatabase(); });
}

void SettingsDialog::layOut()
{
    const float twipsPerPixel = screenTwipsPerPixel(this);
    setFixedSize(twipsToPixels(kClientWidth, twipsPerPixel), twipsToPixels(kClientHeight, twipsPerPixel));
    place(includeHeaderBox, includeHeaderAt, twipsPerPixel);
    place(dataPathEdit, dataPathEditAt, twipsPerPixel);
    place(dataPathLabel, dataPathLabelAt, twipsPerPixel);
    place(browseButton, browseButtonAt, twipsPerPixel);
    place(userEdit, userEditAt, twipsPerPixel);
    place(userLabel, userLabelAt, twipsPerPixel);
    place(passwordEdit, passwordEditAt, twipsPerPixel);
    place(passwordLabel, passwordLabelAt, twipsPerPixel);
    // The browse button overlaps the path box's right end and must stay on top.
    browseButton->raise();
}

void SettingsDialog::centreOnScreen()
{
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void SettingsDialog::showModal()
{
    unloaded_ = false;
    registerWindow(this);
    loadFromSettings();
    exec();
    if (loadedWindows().contains(this))
        unloadWindow(this);
}

void SettingsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen();
    includeHeaderBox->setFocus(Qt::OtherFocusReason);
}

void SettingsDialog::unloadOnce()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    storeCredentials();
}

void SettingsDialog::closeEvent(QCloseEvent* event)
{
    unloadOnce();
    QDialog::closeEvent(event);
}

void SettingsDialog::done(int result)
{
    unloadOnce();
    QDialog::done(result);
}

void SettingsDialog::keyPressEvent(QKeyEvent* event)
{
    // No cancel button: Esc does not close the window, only the close box does.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace varnex
