#include "settings/frmSetting.h"

#include "browser/LegacyFont.h"
#include "browser/Twips.h"
#include "platform/Forms.h"
#include "settings/SettingsIcon.h"

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
constexpr int ClientWidth = 4920;
constexpr int ClientHeight = 1995;

struct Placement {
    int left, top, width, height;
};
constexpr Placement chkHeaderAt{240, 120, 1935, 375};
constexpr Placement txtDataPathAt{240, 1560, 4215, 285};
constexpr Placement lblDataPathAt{240, 1320, 2655, 255};
constexpr Placement cmdDataPathAt{4440, 1560, 375, 285};
constexpr Placement txtUserAt{240, 840, 2055, 285};
constexpr Placement Label1At{240, 600, 1335, 255};
constexpr Placement txtPasswordAt{2400, 840, 2055, 285};
constexpr Placement Label2At{2400, 600, 1335, 255};

// The window's standard font, and the bold one of its labels.
constexpr qreal FontPointSize = 8.25;

QFont WindowFont() { return MsSansSerif(FontPointSize, false); }
QFont BoldFont() { return MsSansSerif(FontPointSize, true); }

template <class W>
W* MakeControl(QWidget* parent, const char* name)
{
    auto* control = new W(parent);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Both edges are converted, so controls that touch or overlap keep doing so.
void Place(QWidget* control, const Placement& at, float twipsPerPixel)
{
    const int left = TwipsToPixels(static_cast<float>(at.left), twipsPerPixel);
    const int top = TwipsToPixels(static_cast<float>(at.top), twipsPerPixel);
    const int right = TwipsToPixels(static_cast<float>(at.left + at.width), twipsPerPixel);
    const int bottom = TwipsToPixels(static_cast<float>(at.top + at.height), twipsPerPixel);
    control->setGeometry(left, top, right - left, bottom - top);
}

}  // namespace

frmSetting::frmSetting(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmSetting"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowIcon(SettingsIcon());
    setFont(WindowFont());
    setSizeGripEnabled(false);
    CreateControls();
    LayOut();
}

frmSetting::~frmSetting() = default;

void frmSetting::CreateControls()
{
    chkHeader = MakeControl<QCheckBox>(this, "chkHeader");
    chkHeader->setText(QStringLiteral("Include Header"));
    chkHeader->setFont(BoldFont());

    txtDataPath = MakeControl<QLineEdit>(this, "txtDataPath");
    txtDataPath->setText(QStringLiteral("Text1"));
    txtDataPath->setReadOnly(true);

    lblDataPath = MakeControl<QLabel>(this, "lblDataPath");
    lblDataPath->setText(QStringLiteral("Data Path"));
    lblDataPath->setFont(BoldFont());

    cmdDataPath = MakeControl<QPushButton>(this, "cmdDataPath");
    cmdDataPath->setText(QStringLiteral("..."));
    cmdDataPath->setAutoDefault(false);
    cmdDataPath->setDefault(false);

    txtUser = MakeControl<QLineEdit>(this, "txtUser");

    Label1 = MakeControl<QLabel>(this, "Label1");
    Label1->setText(QStringLiteral("User"));
    Label1->setFont(BoldFont());

    txtPassword = MakeControl<QLineEdit>(this, "txtPassword");
    txtPassword->setEchoMode(QLineEdit::Normal);

    Label2 = MakeControl<QLabel>(this, "Label2");
    Label2->setText(QStringLiteral("Password"));
    Label2->setFont(BoldFont());

    for (QLabel* label : {lblDataPath, Label1, Label2}) {
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::NoFocus);
    }

    setTabOrder(chkHeader, txtDataPath);
    setTabOrder(txtDataPath, cmdDataPath);
    setTabOrder(cmdDataPath, txtUser);
    setTabOrder(txtUser, txtPassword);

    // Fires for every change of the value, also when the load handler ticks it.
    connect(chkHeader, &QCheckBox::toggled, this, [this] { chkHeader_Click(); });
    connect(cmdDataPath, &QPushButton::clicked, this, [this] { cmdDataPath_Click(); });
}

void frmSetting::LayOut()
{
    const float twipsPerPixel = TwipsPerPixel(this);
    setFixedSize(TwipsToPixels(ClientWidth, twipsPerPixel), TwipsToPixels(ClientHeight, twipsPerPixel));
    Place(chkHeader, chkHeaderAt, twipsPerPixel);
    Place(txtDataPath, txtDataPathAt, twipsPerPixel);
    Place(lblDataPath, lblDataPathAt, twipsPerPixel);
    Place(cmdDataPath, cmdDataPathAt, twipsPerPixel);
    Place(txtUser, txtUserAt, twipsPerPixel);
    Place(Label1, Label1At, twipsPerPixel);
    Place(txtPassword, txtPasswordAt, twipsPerPixel);
    Place(Label2, Label2At, twipsPerPixel);
    // The browse button overlaps the path box's right end and must stay on top.
    cmdDataPath->raise();
}

void frmSetting::CentreOnScreen()
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

void frmSetting::ShowModal()
{
    unloaded_ = false;
    LoadForm(this);
    Form_Load();
    exec();
    if (LoadedForms().contains(this))
        UnloadForm(this);
}

void frmSetting::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen();
    chkHeader->setFocus(Qt::OtherFocusReason);
}

void frmSetting::UnloadOnce()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    Form_Unload();
}

void frmSetting::closeEvent(QCloseEvent* event)
{
    UnloadOnce();
    QDialog::closeEvent(event);
}

void frmSetting::done(int result)
{
    UnloadOnce();
    QDialog::done(result);
}

void frmSetting::keyPressEvent(QKeyEvent* event)
{
    // No cancel button: Esc does not close the window, only the close box does.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace varnex
