#include "shell/ShownValue.h"

#include "store/FieldTypes.h"
#include "data/Recordset.h"

#include <QCoreApplication>

#include <algorithm>

namespace varnex {

namespace {
constexpr qsizetype kBytesPerLine = 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";
}  // namespace

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::UnsignedTinyInt: return QCoreApplication::translate("ShownValue", "Byte");
    case FieldType::SmallInt: return QCoreApplication::translate("ShownValue", "Integer");
    case FieldType::Integer: return QCoreApplication::translate("ShownValue", "Long Integer");
    case FieldType::BigInt: return QCoreApplication::translate("ShownValue", "Large Number");
    case FieldType::Single: return QCoreApplication::translate("ShownValue", "Single");
    case FieldType::Double: return QCoreApplication::translate("ShownValue", "Double");
    case FieldType::Currency: return QCoreApplication::translate("ShownValue", "Currency");
    case FieldType::Numeric: return QCoreApplication::translate("ShownValue", "Decimal");
    case FieldType::Date: return QCoreApplication::translate("ShownValue", "Date/Time");
    case FieldType::Boolean: return QCoreApplication::translate("ShownValue", "Yes/No");
    case FieldType::GUID: return QCoreApplication::translate("ShownValue", "Replication ID");
    case FieldType::VarWChar: return QCoreApplication::translate("ShownValue", "Text");
    case FieldType::LongVarWChar: return QCoreApplication::translate("ShownValue", "Memo");
    case FieldType::Binary:
    case FieldType::VarBinary: return QCoreApplication::translate("ShownValue", "Binary");
    case FieldType::LongVarBinary: return QCoreApplication::translate("ShownValue", "OLE Object");
    default: return QCoreApplication::translate("ShownValue", "Unknown");
    }
}

QString hexDump(const QByteArray& bytes)
{
    QString dump;
    const qsizetype lines = (bytes.size() + kBytesPerLine - 1) / kBytesPerLine;
    dump.reserve(lines * (8 + 2 + 3 * kBytesPerLine + 2 + kBytesPerLine + 1));
    for (qsizetype offset = 0; offset < bytes.size(); offset += kBytesPerLine) {
        for (int shift = 28; shift >= 0; shift -= 4)
            dump += QLatin1Char(kHexDigits[(offset >> shift) & 0xF]);
        dump += QLatin1String("  ");
        const qsizetype end = std::min(offset + kBytesPerLine, bytes.size());
        for (qsizetype i = offset; i < offset + kBytesPerLine; ++i) {
            if (i == offset + kBytesPerLine / 2)
                dump += QLatin1Char(' ');
            if (i >= end) {
                dump += QLatin1String("   ");
                continue;
            }
            const auto byte = static_cast<uint8_t>(bytes[i]);
            dump += QLatin1Char(kHexDigits[byte >> 4]);
            dump += QLatin1Char(kHexDigits[byte & 0xF]);
            dump += QLatin1Char(' ');
        }
        dump += QLatin1Char(' ');
        for (qsizetype i = offset; i < end; ++i) {
            const auto byte = static_cast<uint8_t>(bytes[i]);
            dump += byte >= 0x20 && byte < 0x7F ? QLatin1Char(static_cast<char>(byte)) : QLatin1Char('.');
        }
        dump += QLatin1Char('\n');
    }
    return dump;
}

ShownValue shownValue(const Recordset& recordset, int64_t position, int column)
{
    ShownValue shown;
    shown.columnName = recordset.columnName(column);
    const FieldType type = recordset.columnType(column);
    shown.typeName = fieldTypeName(type);
    const Variant value = recordset.value(position, column);
    switch (value.kind()) {
    case Variant::Kind::Binary:
        shown.binary = true;
        shown.text = hexDump(value.toBytes());
        shown.size = value.toBytes().size();
        break;
    case Variant::Kind::Text: shown.text = value.toText(); break;
    default:  // a value of a type not read: its placeholder, as the grid shows it
        shown.text = type == FieldType::Unsupported ? recordset.unreadCellText(position, column) : recordset.cellText(position, column);
        break;
    }
    if (!shown.binary)
        shown.size = shown.text.size();
    return shown;
}

}  // namespace varnex
