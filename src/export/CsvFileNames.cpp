#include "export/CsvFileNames.h"

#include <QSet>

namespace varnex {
namespace {

// Room for "~NNN.csv" within the 255 bytes a name may take.
constexpr qsizetype kMostNameBytes = 200;

bool refused(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"/\\:*?\"<>|").contains(c);
}

QString safeStem(const QString& table)
{
    QString stem = table;
    for (QChar& c : stem) {
        if (refused(c))
            c = QLatin1Char('_');
    }
    for (QChar& c : stem) {
        if (c != QLatin1Char('.'))
            break;
        c = QLatin1Char('_');
    }
    while (stem.toUtf8().size() > kMostNameBytes) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return stem.isEmpty() ? QStringLiteral("_") : stem;
}

}  // namespace

QStringList csvFileNames(const QStringList& tables)
{
    QStringList names;
    QSet<QString> taken;  // case-folded
    for (const QString& table : tables) {
        const QString stem = safeStem(table);
        QString name = stem + QStringLiteral(".csv");
        for (int n = 2; taken.contains(name.toCaseFolded()); ++n)
            name = QStringLiteral("%1~%2.csv").arg(stem, QString::number(n));
        taken.insert(name.toCaseFolded());
        names << name;
    }
    return names;
}

}  // namespace varnex
