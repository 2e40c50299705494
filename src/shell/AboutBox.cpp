#include "shell/AboutBox.h"

#include "core/AppFolders.h"
#include "core/Application.h"
#include "core/Messages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>

#ifndef VARNEX_VERSION
#define VARNEX_VERSION "unknown"
#endif
#ifndef VARNEX_LIBMDB_VERSION
#define VARNEX_LIBMDB_VERSION "unknown"
#endif

namespace varnex {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("AboutBox", text);
}

// The licence as the source tree has it (compiled in as a resource).
QString licenceText()
{
    QFile licence(QStringLiteral(":/varnex/LICENSE"));
    if (!licence.open(QIODevice::ReadOnly))
        return tr("MIT License");
    return QString::fromUtf8(licence.readAll()).trimmed();
}

}  // namespace

QString aboutText()
{
    return tr("Varnex %1\nViewer for Microsoft Access databases with CSV export\n\n"
              "Reads Access files with libmdb %2 (mdbtools); built with Qt %3, running on Qt %4.\n\n%5")
        .arg(QStringLiteral(VARNEX_VERSION), QStringLiteral(VARNEX_LIBMDB_VERSION), QStringLiteral(QT_VERSION_STR),
             QString::fromLatin1(qVersion()), licenceText());
}

void showAboutBox(QWidget* owner)
{
    QMessageBox box(QMessageBox::NoIcon, tr("About Varnex"), aboutText(), QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("dlgAbout"));
    box.setEscapeButton(QMessageBox::Ok);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

QUrl manualUrl()
{
    if (folderLayout() == FolderLayout::UserFolders)
        return QUrl(QStringLiteral("man:varnex(1)"));
    return QUrl::fromLocalFile(appFolder() + QStringLiteral("/README.md"));
}

void openManual()
{
    const QUrl manual = manualUrl();
    if (QDesktopServices::openUrl(manual))
        return;
    const QString where = manual.isLocalFile() ? manual.toLocalFile() : QStringLiteral("man varnex");
    showMessage(tr("No viewer could open the manual. Read it with: %1").arg(where), MessageStyle::Information);
}

}  // namespace varnex
