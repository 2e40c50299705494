#include "shell/PasswordDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace varnex {

PasswordDialog::PasswordDialog(const QString& path, bool refused, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgPassword"));
    setWindowTitle(tr("Database Password"));
    const QString file = QFileInfo(path).fileName();
    promptLabel = new QLabel(refused ? tr("The password was not accepted. Enter the password of %1:").arg(file)
                                     : tr("%1 is protected by a password. Enter it:").arg(file),
                             this);
    promptLabel->setObjectName(QStringLiteral("lblPassword"));
    promptLabel->setToolTip(path);
    promptLabel->setTextFormat(Qt::PlainText);
    promptLabel->setWordWrap(true);
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName(QStringLiteral("txtPassword"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    rememberBox = new QCheckBox(tr("Remember in Setup.ini"), this);
    rememberBox->setObjectName(QStringLiteral("chkRemember"));
    rememberBox->setChecked(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(passwordEdit);
    layout->addWidget(rememberBox);
    layout->addWidget(buttons);
    passwordEdit->setFocus();
}

PasswordAnswer PasswordDialog::answer() const
{
    return {passwordEdit->text(), rememberBox->isChecked()};
}

void installPasswordDialog()
{
    setPasswordPrompt([](const QString& path, bool refused) -> std::optional<PasswordAnswer> {
        PasswordDialog dialog(path, refused, QApplication::activeWindow());
        dialog.setWindowModality(Qt::ApplicationModal);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.answer();
    });
}

}  // namespace varnex
