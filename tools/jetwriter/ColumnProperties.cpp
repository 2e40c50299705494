#include "jetwriter/ColumnProperties.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/TableLayout.h"
#include "jetwriter/TextCodec.h"

namespace jetwriter {
namespace {

constexpr uint16_t kNamesChunk = 0x80;
constexpr uint16_t kColumnChunk = 0x01;
constexpr uint8_t kBooleanType = 0x01;
constexpr uint8_t kByteType = 0x02;
constexpr uint8_t kMemoType = 0x0C;
constexpr uint8_t kDesignFlag = 0x01;  // as Access marks the properties set in the table's design
constexpr uint16_t kExpression = 0;    // the indexes of the names below
constexpr uint16_t kResultType = 1;
constexpr uint16_t kRequired = 2;

// Jet 4 keeps the texts of the properties in UTF-16, Jet 3 in its code page.
std::vector<uint8_t> encoded(const FormatInfo& info, const std::string& text)
{
    const std::u16string units = utf8ToUtf16(text);
    if (!info.jet4)
        return toCp1252(units);
    std::vector<uint8_t> bytes;
    for (const char16_t unit : units)
        appendU16(bytes, unit);
    return bytes;
}

void appendText(const FormatInfo& info, std::vector<uint8_t>& out, const std::string& text)
{
    const std::vector<uint8_t> bytes = encoded(info, text);
    appendU16(out, static_cast<uint32_t>(bytes.size()));
    appendBytes(out, bytes.data(), bytes.size());
}

void appendProperty(std::vector<uint8_t>& out, uint8_t type, uint16_t name, const std::vector<uint8_t>& value)
{
    appendU16(out, static_cast<uint32_t>(8 + value.size()));
    appendU8(out, kDesignFlag);
    appendU8(out, type);
    appendU16(out, name);
    appendU16(out, static_cast<uint32_t>(value.size()));
    appendBytes(out, value.data(), value.size());
}

void appendChunk(std::vector<uint8_t>& out, uint16_t kind, const std::vector<uint8_t>& body)
{
    appendU32(out, static_cast<uint32_t>(6 + body.size()));
    appendU16(out, kind);
    appendBytes(out, body.data(), body.size());
}

std::vector<uint8_t> columnChunk(const FormatInfo& info, const Column& column)
{
    std::vector<uint8_t> body;
    appendU32(body, static_cast<uint32_t>(4 + 2 + encoded(info, column.name).size()));
    appendText(info, body, column.name);
    if (!column.expression.empty()) {
        appendProperty(body, kMemoType, kExpression, encoded(info, column.expression));
        appendProperty(body, kByteType, kResultType, {typeCode(column.type)});
    }
    if (column.required)
        appendProperty(body, kBooleanType, kRequired, {0xFF});
    return body;
}

}  // namespace

std::vector<uint8_t> columnProperties(const FormatInfo& info, const std::vector<Column>& columns)
{
    std::vector<uint8_t> out;
    for (const Column& column : columns) {
        if (column.expression.empty() && !column.required)
            continue;
        if (out.empty()) {
            appendBytes(out, info.jet4 ? "MR2" : "KKD", 4);  // with its terminating zero
            std::vector<uint8_t> names;
            for (const char* name : {"Expression", "ResultType", "Required"})
                appendText(info, names, name);
            appendChunk(out, kNamesChunk, names);
        }
        appendChunk(out, kColumnChunk, columnChunk(info, column));
    }
    return out;
}

}  // namespace jetwriter
