#pragma once
// One cell's value as the value viewer shows it: the whole text of a text or
// memo, a hex dump of binary, the grid's text of anything else; and the name
// and type of its column.

#include "store/FieldTypes.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace varnex {

class Recordset;

struct ShownValue {
    QString columnName;
    QString typeName;
    QString text;   // as shown and copied
    bool binary = false;
    qsizetype size = 0;  // characters of text, bytes of binary
};

ShownValue shownValue(const Recordset& recordset, int64_t position, int column);

// The name Access gives a field type ("Text", "Memo", "Long Integer", ...).
QString fieldTypeName(FieldType type);

// Sixteen bytes a line: the offset, the bytes in hex, and the bytes that are
// printable ASCII as themselves (others as '.'); every line ends in a line feed.
QString hexDump(const QByteArray& bytes);

}  // namespace varnex
