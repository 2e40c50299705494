#include "platform/CommonDialog.h"

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

std::optional<QString> showReal(const CommonDialog& cd, QWidget* owner)
{
    QFileDialog dialog(owner, cd.DialogTitle, cd.InitDir);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = nameFilters(cd.Filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!cd.FileName.isEmpty())
        dialog.selectFile(cd.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler)
{
    return std::exchange(handlerSlot(), std::move(handler));
}

Status CommonDialog::ShowSave(QWidget* owner)
{
    const FileDialogHandler& handler = handlerSlot();
    const std::optional<QString> chosen = handler ? handler(*this) : showReal(*this, owner);
    if (!chosen) {
        if (CancelError)
            return Error{err::DialogCancelled, QStringLiteral("Cancel was selected.")};
        return {};
    }
    FileName = *chosen;
    return {};
}

}  // namespace varnex
