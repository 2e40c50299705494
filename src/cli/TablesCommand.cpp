#include "Arguments.h"
#include "Commands.h"
#include "DatabaseOpening.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "StandardOutput.h"
#include "data/Connection.h"
#include "data/TableList.h"

namespace varnex::cli {
namespace {

// A character as C writes it in a string, where it would break the line or could not be seen;
// nothing for one that stands for itself.
QString escaped(QChar c)
{
    switch (c.unicode()) {
    case u'\a': return QStringLiteral("\\a");
    case u'\b': return QStringLiteral("\\b");
    case u'\t': return QStringLiteral("\\t");
    case u'\n': return QStringLiteral("\\n");
    case u'\v': return QStringLiteral("\\v");
    case u'\f': return QStringLiteral("\\f");
    case u'\r': return QStringLiteral("\\r");
    case u'\\': return QStringLiteral("\\\\");
    default: break;
    }
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    if (c.category() == QChar::Other_Control)  // U+0080 to U+009F
        return QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return {};
}

// A name on a line of its own, control characters and the backslash escaped.
QString escapedName(const QString& name)
{
    QString line;
    line.reserve(name.size());
    for (const QChar c : name) {
        const QString escape = escaped(c);
        if (escape.isEmpty())
            line += c;
        else
            line += escape;
    }
    return line;
}

}  // namespace

Ending listTables(const Invocation& invocation)
{
    catchInterruptions();
    Connection connection;
    if (const Ending opened = openForCommand(connection, invocation); opened != Ending::Completed)
        return opened;
    const std::optional<std::vector<TableEntry>> tables = tableListForCommand(connection, invocation);
    if (interrupted())
        return Ending::Interrupted;
    if (!tables)
        return Ending::Failed;
    // With --null, the names as they are: NUL cannot be part of one.
    const QChar end = invocation.nulSeparated ? QChar(u'\0') : QChar(u'\n');
    QString lines;
    for (const TableEntry& table : *tables) {
        if (!invocation.allTables && !isUserTable(table))
            continue;
        lines += invocation.nulSeparated ? table.name : escapedName(table.name);
        if (invocation.allTables)
            lines += QLatin1Char('\t') + table.type;
        lines += end;
    }
    return writeStandardOutput(lines);
}

}  // namespace varnex::cli
