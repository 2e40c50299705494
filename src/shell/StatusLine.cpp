#include "shell/StatusLine.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

namespace varnex {

QString rowCountText(int64_t shown, int64_t total, bool filtered)
{
    const QLocale locale;
    const QString rows = total == 1 ? QStringLiteral("row") : QStringLiteral("rows");
    if (filtered)
        return QStringLiteral("%1 of %2 %3").arg(locale.toString(static_cast<qlonglong>(shown)),
                                                  locale.toString(static_cast<qlonglong>(total)), rows);
    return QStringLiteral("%1 %2").arg(locale.toString(static_cast<qlonglong>(shown)),
                                       shown == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
}

StatusLine::StatusLine(QWidget* parent)
    : QWidget(parent), rowCount(new QLabel(this)), notice(new QLabel(this)), database(new QLabel(this))
{
    setObjectName(QStringLiteral("fraStatus"));
    rowCount->setObjectName(QStringLiteral("lblRowCount"));
    notice->setObjectName(QStringLiteral("lblNotice"));
    database->setObjectName(QStringLiteral("lblDatabase"));
    for (QLabel* label : {rowCount, notice, database})
        label->setTextFormat(Qt::PlainText);
    notice->hide();
    database->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->addWidget(rowCount);
    layout->addSpacing(12);
    layout->addWidget(notice);
    layout->addStretch(1);
    layout->addWidget(database);
}

void StatusLine::showNotice(const QString& text, const QStringList& details)
{
    notice->setText(text);
    notice->setToolTip(details.join(QLatin1Char('\n')));
    notice->setVisible(!text.isEmpty());
}

void StatusLine::showRowCount(int64_t shown, int64_t total, bool filtered)
{
    rowCount->setText(rowCountText(shown, total, filtered));
}

void StatusLine::showLoading(int64_t rows)
{
    rowCount->setText(tr("Loading: %1 %2")
                          .arg(QLocale().toString(static_cast<qlonglong>(rows)),
                               rows == 1 ? QStringLiteral("row") : QStringLiteral("rows")));
}

void StatusLine::clearRowCount()
{
    rowCount->clear();
}

void StatusLine::showDatabase(const QString& path)
{
    if (path.isEmpty()) {
        database->clear();
        database->setToolTip(QString());
        return;
    }
    const QFileInfo file(path);
    database->setText(file.fileName());
    database->setToolTip(QDir::toNativeSeparators(file.absoluteFilePath()));
}

}  // namespace varnex
