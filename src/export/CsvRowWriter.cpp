#include "CsvRowWriter.h"

#include "CsvQuoting.h"
#include "data/CellValue.h"
#include "store/FieldTypes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace varnex {
namespace {

// The most a text's copy writes past the bytes it keeps.
constexpr size_t kOverwrite = 16;

char* put(char* at, std::string_view text)
{
    if (!text.empty())
        std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

#if defined(__x86_64__)

// The n bytes from at (fewer than sixteen), zeros after them, read without a byte past them: in
// loads that may overlap, rather than a copy of a varying length.
inline __m128i fewerThanSixteenAt(const char* at, size_t n)
{
    const auto load = [](const char* from, auto word) {
        std::memcpy(&word, from, sizeof word);
        return uint64_t{word};
    };
    if (n >= 8) {
        const uint64_t high = n == 8 ? 0 : load(at + n - 8, uint64_t{}) >> (8 * (16 - n));
        return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(load(at, uint64_t{})));
    }
    uint64_t low = 0;
    if (n >= 4)
        low = load(at, uint32_t{}) | load(at + n - 4, uint32_t{}) << (8 * (n - 4));
    else if (n > 0)
        low = load(at, uint8_t{}) | load(at + n / 2, uint8_t{}) << (8 * (n / 2)) | load(at + n - 1, uint8_t{}) << (8 * (n - 1));
    return _mm_cvtsi64_si128(static_cast<long long>(low));
}

// The text between double quotes, each double quote inside doubled; copied sixteen bytes at a
// time while it is looked through for double quotes, each store writing up to sixteen bytes
// past what it keeps (kOverwrite).
char* putQuoted(char* at, std::string_view text)
{
    *at++ = '"';
    const char* from = text.data();
    size_t left = text.size();
    const __m128i quote = _mm_set1_epi8('"');
    while (left > 0) {
        const size_t n = std::min<size_t>(left, 16);
        const __m128i sixteen = n == 16 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)) : fewerThanSixteenAt(from, n);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), sixteen);
        const auto quotes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, quote)));  // none in the zeros
        const size_t taken = quotes == 0 ? n : static_cast<size_t>(__builtin_ctz(quotes)) + 1;  // up to the quote
        at += taken;
        if (quotes != 0)
            *at++ = '"';
        from += taken;
        left -= taken;
    }
    *at++ = '"';
    return at;
}

#else

char* putQuoted(char* at, std::string_view text)
{
    *at++ = '"';
    while (!text.empty()) {
        const void* quote = std::memchr(text.data(), '"', text.size());
        if (!quote)
            break;
        const auto upTo = static_cast<size_t>(static_cast<const char*>(quote) - text.data()) + 1;
        at = put(at, text.substr(0, upTo));
        *at++ = '"';
        text.remove_prefix(upTo);
    }
    at = put(at, text);
    *at++ = '"';
    return at;
}

#endif

}  // namespace

CsvRowWriter::Kind CsvRowWriter::kindOf(const Column& column, FieldType type, size_t mostDateBytes)
{
    if (column.storedUtf8)
        return Kind::StoredText;
    if (column.text || !column.plain)
        return Kind::Other;
    switch (type) {
    case FieldType::Boolean: return Kind::YesNo;
    case FieldType::UnsignedTinyInt: return Kind::Byte;
    case FieldType::SmallInt: return Kind::Short;
    case FieldType::Integer: return Kind::Long;
    case FieldType::BigInt: return Kind::BigInt;
    case FieldType::Single: return Kind::Single;
    case FieldType::Double: return Kind::Double;
    case FieldType::Currency: return Kind::Currency;
    case FieldType::Date: return mostDateBytes > 0 ? Kind::Date : Kind::Other;
    default: return Kind::Other;
    }
}

CsvRowWriter::CsvRowWriter(const TableData& table, const ValueFormatter& formatter, const std::vector<Column>& columns)
    : table_(table), formatter_(formatter)
{
    mostFixed_ = columns.size() + 2 + kOverwrite;  // the commas, CR LF and what a text's last store writes past
    for (const Column& column : columns) {
        const Kind kind = kindOf(column, table.info(column.index).type, formatter.mostDateBytes());
        plans_.push_back({column, kind});
        if (kind == Kind::Date)
            mostFixed_ += formatter.mostDateBytes();
        else if (kind != Kind::StoredText && kind != Kind::Other)
            mostFixed_ += formatter.mostNumberBytes();
    }
}

void CsvRowWriter::appendOther(const Column& column, int64_t row, std::string& out) const
{
    const std::size_t start = out.size();
    if (column.text) {
        out += '"';
        appendStoredText(table_, row, column.index, formatter_, out);
        doubleQuotesFrom(out, start + 1);
        out += '"';
        return;
    }
    appendStoredText(table_, row, column.index, formatter_, out);
    if (!column.plain && needsQuotes(std::string_view(out).substr(start)))
        quoteTail(out, start);
}

void CsvRowWriter::append(int64_t row, std::string& out) const
{
    // Room for the whole line: texts may double every byte for their quotes.
    size_t most = mostFixed_;
    for (const Plan& plan : plans_) {
        if (plan.kind == Kind::StoredText && !table_.isNull(row, plan.column.index))
            most += 2 * table_.bytesValue(row, plan.column.index).size() + 2;
        else if (plan.kind == Kind::StoredText)
            most += 2;
    }
    size_t start = out.size();
    out.resize(start + most);
    char* at = out.data() + start;
    bool first = true;
    for (const Plan& plan : plans_) {
        if (!first)
            *at++ = ',';
        first = false;
        const int c = plan.column.index;
        if (plan.kind == Kind::StoredText) {
            at = putQuoted(at, table_.isNull(row, c) ? std::string_view() : table_.bytesValue(row, c));
            continue;
        }
        if (table_.isNull(row, c) && plan.kind != Kind::Other)
            continue;
        // Dates and Long Integers are had from the table, which may keep them compact.
        const bool fixed = plan.kind != Kind::Other && plan.kind != Kind::Date && plan.kind != Kind::Long;
        const uint8_t* value = fixed ? table_.fixedValue(row, c) : nullptr;
        char* written = at;
        switch (plan.kind) {
        case Kind::YesNo: written = put(at, value[0] != 0 ? "True" : "False"); break;
        case Kind::Byte: written = ValueFormatter::writeInteger(value[0], at); break;
        case Kind::Short: written = ValueFormatter::writeInteger(storedAs<int16_t>(value), at); break;
        case Kind::Long: written = ValueFormatter::writeInteger(table_.integerValue(row, c), at); break;
        case Kind::BigInt: written = ValueFormatter::writeInteger(storedAs<int64_t>(value), at); break;
        case Kind::Single: written = formatter_.writeReal(storedAs<float>(value), 7, at); break;
        case Kind::Double: written = formatter_.writeReal(storedAs<double>(value), 15, at); break;
        case Kind::Currency: written = formatter_.writeCurrency(storedAs<int64_t>(value), at); break;
        case Kind::Date: written = formatter_.writeDate(table_.dateValue(row, c), at); break;
        default: written = nullptr; break;
        }
        if (written) {
            at = written;
            continue;
        }
        // Written the slow way; then room again for the rest of the line.
        out.resize(static_cast<size_t>(at - out.data()));
        appendOther(plan.column, row, out);
        start = out.size();
        out.resize(start + most);
        at = out.data() + start;
    }
    *at++ = '\r';
    *at++ = '\n';
    out.resize(static_cast<size_t>(at - out.data()));
}

}  // namespace varnex
