#include "data/SortOrder.h"

#include "core/Error.h"
#include "data/ColumnSort.h"
#include "store/FieldTypes.h"

#include <algorithm>
#include <optional>

namespace varnex {
namespace {

// Splits a trailing ASC / DESC off a key's text.
bool takeDirection(QString& text, bool& descending)
{
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.lastIndexOf(u' ');
    const QString word = blank < 0 ? trimmed : trimmed.mid(blank + 1);
    descending = word.compare(u"DESC", Qt::CaseInsensitive) == 0;
    const bool ascending = word.compare(u"ASC", Qt::CaseInsensitive) == 0;
    if (!descending && !ascending)
        return false;
    text = blank < 0 ? QString() : trimmed.left(blank).trimmed();
    return true;
}

struct ParsedKey {
    QString name;
    bool descending = false;
};

std::optional<std::vector<ParsedKey>> parseKeys(const QString& specification)
{
    std::vector<ParsedKey> keys;
    qsizetype at = 0;
    const qsizetype end = specification.size();
    while (at < end) {
        while (at < end && specification[at].isSpace())
            ++at;
        ParsedKey key;
        const qsizetype comma = [&] {
            if (at < end && specification[at] == u'[') {
                const qsizetype close = specification.indexOf(u']', at + 1);
                if (close < 0)
                    return qsizetype(-2);
                key.name = specification.mid(at + 1, close - at - 1);
                at = close + 1;
                qsizetype next = specification.indexOf(u',', at);
                QString rest = specification.mid(at, (next < 0 ? end : next) - at).trimmed();
                if (!rest.isEmpty() && !takeDirection(rest, key.descending))
                    return qsizetype(-2);
                if (!rest.isEmpty())
                    return qsizetype(-2);
                return next;
            }
            const qsizetype next = specification.indexOf(u',', at);
            QString text = specification.mid(at, (next < 0 ? end : next) - at);
            takeDirection(text, key.descending);
            key.name = text.trimmed();
            if (key.name.contains(u'[') || key.name.contains(u']'))
                return qsizetype(-2);
            return next;
        }();
        if (comma == -2 || key.name.isEmpty())
            return std::nullopt;
        keys.push_back(key);
        if (comma < 0)
            break;
        at = comma + 1;
        if (specification.mid(at).trimmed().isEmpty())
            return std::nullopt;  // a trailing comma
    }
    return keys;
}

}  // namespace

Result<std::vector<SortKey>> parseSort(const QString& specification, const TableData& table)
{
    const auto parsed = parseKeys(specification);
    if (!parsed)
        return makeError(ErrorCode::BadArguments);
    std::vector<SortKey> keys;
    for (const ParsedKey& key : *parsed) {
        const int column = table.columnIndex(key.name);
        if (column < 0)
            return makeError(ErrorCode::ItemNotFound);
        keys.push_back({column, key.descending});
    }
    return keys;
}

Result<QStringList> sortColumnNames(const QString& specification)
{
    const auto parsed = parseKeys(specification);
    if (!parsed)
        return makeError(ErrorCode::BadArguments);
    QStringList names;
    for (const ParsedKey& key : *parsed)
        names << key.name;
    return names;
}

void sortRows(const TableData& table, const std::vector<SortKey>& keys, std::vector<uint32_t>& order)
{
    // One stable pass per key, the least significant first.
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        sortByColumn(table, *key, order);
}

}  // namespace varnex
