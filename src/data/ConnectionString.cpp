#include "data/ConnectionString.h"

#include <QStringList>

namespace varnex {
namespace {

QString unquote(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

std::optional<QString> connectionStringValue(const QString& connectionString, const QString& key)
{
    std::optional<QString> found;
    const QStringList parts = connectionString.split(u';');
    for (const QString& part : parts) {
        const qsizetype equals = part.indexOf(u'=');
        if (equals < 0)
            continue;
        if (part.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            found = unquote(part.mid(equals + 1).trimmed());
    }
    return found;
}

}  // namespace varnex
