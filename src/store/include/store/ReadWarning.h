#pragma once
// What a read delivers other than the file holds it (values left empty or cut short, rows or entries
// left out) and why, for the user: the command line prints it, the window keeps it in the log.

#include <QString>

namespace varnex {

struct ReadWarning {
    QString table;   // empty: not about one table (the table list)
    QString column;  // empty: about the table as a whole (its rows)
    QString cause;

    // "table 'T': column 'C': cause", the parts that are there.
    QString text() const
    {
        QString line;
        if (!table.isEmpty())
            line += QStringLiteral("table '%1': ").arg(table);
        if (!column.isEmpty())
            line += QStringLiteral("column '%1': ").arg(column);
        return line + cause;
    }

    friend bool operator==(const ReadWarning&, const ReadWarning&) = default;
};

}  // namespace varnex
