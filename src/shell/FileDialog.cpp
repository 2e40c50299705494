#include "shell/FileDialog.h"

#include "shell/NameOnlyIconProvider.h"

#include <QFileDialog>
#include <QStringList>

namespace varnex {
namespace {

FileDialogHandler& handlerSlot()
{
    static FileDialogHandler handler;
    return handler;
}

// "Text (*.txt)|*.txt|All|*" becomes {"Text (*.txt) (*.txt)", "All (*)"}: the dialog reads
// the patterns from the last parentheses of each entry.
QStringList nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

std::optional<QString> showReal(const FileDialog& cd, QWidget* owner)
{
    NameOnlyIconProvider icons;  // outlives the dialog
    QFileDialog dialog(owner, cd.title, cd.initialFolder);
    dialog.setIconProvider(&icons);
    const bool open = cd.mode != FileDialogMode::Save;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(cd.mode == FileDialogMode::Folder ? QFileDialog::Directory
                       : open                            ? QFileDialog::ExistingFile
                                                         : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ShowDirsOnly, cd.mode == FileDialogMode::Folder);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = nameFilters(cd.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!cd.fileName.isEmpty())
        dialog.selectFile(cd.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

FileDialogHandler setFileDialogHandler(FileDialogHandler handler)
{
    return std::exchange(handlerSlot(), std::move(handler));
}

Status FileDialog::showSave(QWidget* owner) { return show(FileDialogMode::Save, owner); }

Status FileDialog::showOpen(QWidget* owner) { return show(FileDialogMode::Open, owner); }

Status FileDialog::showFolder(QWidget* owner) { return show(FileDialogMode::Folder, owner); }

Status FileDialog::show(FileDialogMode shownMode, QWidget* owner)
{
    mode = shownMode;
    const FileDialogHandler& handler = handlerSlot();
    const std::optional<QString> chosen = handler ? handler(*this) : showReal(*this, owner);
    if (!chosen)
        return makeError(ErrorCode::DialogCancelled);
    fileName = *chosen;
    return {};
}

}  // namespace varnex
