#include "jetwriter/ColumnProperties.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/TableLayout.h"
#include "jetwriter/TextCodec.h"

namespace jetwriter {
namespace {

constexpr uint16_t kNamesChunk = 0x80;
constexpr uint16_t kColumnChunk = 0x01;
constexpr uint8_t kByteType = 0x02;
constexpr uint8_t kMemoType = 0x0C;
constexpr uint8_t kDesignFlag = 0x01;  // as Access marks the properties set in the table's design
constexpr uint16_t kExpression = 0;    // the indexes of the names below
constexpr uint16_t kResultType = 1;

void appendUtf16(std::vector<uint8_t>& out, const std::string& text)
{
    const std::u16string units = utf8ToUtf16(text);
    appendU16(out, static_cast<uint32_t>(units.size() * 2));
    for (const char16_t unit : units)
        appendU16(out, unit);
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

std::vector<uint8_t> calculatedColumnChunk(const Column& column)
{
    std::vector<uint8_t> body;
    const size_t nameBytes = utf8ToUtf16(column.name).size() * 2;
    appendU32(body, static_cast<uint32_t>(4 + 2 + nameBytes));
    appendUtf16(body, column.name);
    std::vector<uint8_t> expression;
    for (const char16_t unit : utf8ToUtf16(column.expression))
        appendU16(expression, unit);
    appendProperty(body, kMemoType, kExpression, expression);
    appendProperty(body, kByteType, kResultType, {typeCode(column.type)});
    return body;
}

}  // namespace

std::vector<uint8_t> columnProperties(const std::vector<Column>& columns)
{
    std::vector<uint8_t> out;
    for (const Column& column : columns) {
        if (column.expression.empty())
            continue;
        if (out.empty()) {
            appendBytes(out, "MR2", 4);  // with its terminating zero
            std::vector<uint8_t> names;
            appendUtf16(names, "Expression");
            appendUtf16(names, "ResultType");
            appendChunk(out, kNamesChunk, names);
        }
        appendChunk(out, kColumnChunk, calculatedColumnChunk(column));
    }
    return out;
}

}  // namespace jetwriter
