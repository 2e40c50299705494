#include "jetwriter/Description.h"

#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace jetwriter {
namespace {

struct Field {
    std::string text;
    bool quoted = false;
};

const std::map<std::string, ColumnType>& typeNames()
{
    static const std::map<std::string, ColumnType> names = {
        {"byte", ColumnType::Byte},         {"integer", ColumnType::Integer}, {"long", ColumnType::Long},
        {"single", ColumnType::Single},     {"double", ColumnType::Double},   {"currency", ColumnType::Currency},
        {"datetime", ColumnType::DateTime}, {"yesno", ColumnType::YesNo},     {"text", ColumnType::Text},
        {"memo", ColumnType::Memo},         {"ole", ColumnType::Ole},         {"guid", ColumnType::Guid},
        {"decimal", ColumnType::Decimal},   {"binary", ColumnType::Binary},   {"datetimeextended", ColumnType::DateTimeExtended},
        {"attachment", ColumnType::Attachment}, {"multivalue", ColumnType::MultiValue},
        {"versionedmemo", ColumnType::VersionedMemo}};
    return names;
}

int64_t toInteger(const std::string& text)
{
    size_t used = 0;
    const long long value = std::stoll(text, &used);
    if (used != text.size())
        throw std::invalid_argument(text);
    return value;
}

double toReal(const std::string& text)
{
    size_t used = 0;
    const double value = std::stod(text, &used);
    if (used != text.size())
        throw std::invalid_argument(text);
    return value;
}

// Exact decimal text ("-12.5") as a mantissa and its number of places.
DecimalValue toDecimal(const std::string& text)
{
    DecimalValue value{false, 0, 0};
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        value.negative = text[i++] == '-';
    bool point = false;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            value.mantissa = value.mantissa * 10 + static_cast<unsigned>(c - '0');
            value.scale += point ? 1 : 0;
            digits = true;
        } else {
            throw std::invalid_argument(text);
        }
    }
    if (!digits || value.scale > 28)
        throw std::invalid_argument(text);
    return value;
}

CurrencyValue toCurrency(const std::string& text)
{
    DecimalValue value = toDecimal(text);
    if (value.scale > 4)
        throw std::invalid_argument(text);
    for (; value.scale < 4; ++value.scale)
        value.mantissa *= 10;
    if (value.mantissa > static_cast<Uint128>(INT64_MAX))
        throw std::invalid_argument(text);
    const auto magnitude = static_cast<int64_t>(value.mantissa);
    return CurrencyValue{value.negative ? -magnitude : magnitude};
}

Bytes toBytes(const std::string& text)
{
    if (text.size() % 2 != 0 || text.rfind("0x", 0) != 0)
        throw std::invalid_argument(text);
    Bytes bytes;
    for (size_t i = 2; i < text.size(); i += 2)
        bytes.data.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

bool toTruth(const std::string& text)
{
    if (text == "true" || text == "yes" || text == "1" || text == "True" || text == "Yes")
        return true;
    if (text == "false" || text == "no" || text == "0" || text == "False" || text == "No")
        return false;
    throw std::invalid_argument(text);
}

// Days since 1899-12-30 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468 + 25569;
}

// "a|b\|c" -> {"a", "b|c"}: list items of complex cells, '\\' escaping '|' and itself.
std::vector<std::string> listItems(const std::string& text)
{
    std::vector<std::string> items(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            items.back() += text[++i];
        else if (text[i] == '|')
            items.emplace_back();
        else
            items.back() += text[i];
    }
    return items;
}

// "KEY=VALUE" split at the first '='.
std::pair<std::string, std::string> keyed(const std::string& item)
{
    const size_t at = item.find('=');
    if (at == std::string::npos)
        throw std::invalid_argument(item);
    return {item.substr(0, at), item.substr(at + 1)};
}

// "YYYY-MM-DD[ HH:MM:SS[.fffffff]]", years 1 to 9999.
ExtendedDateValue toExtendedDate(const std::string& text)
{
    const size_t dot = text.find('.');
    parseDateTime(text.substr(0, dot));  // checks the fields
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &sec);
    if (y < 1 || y > 9999)
        throw std::invalid_argument(text);
    int64_t fraction = 0;
    if (dot != std::string::npos) {
        const std::string digits = text.substr(dot + 1);
        if (digits.empty() || digits.size() > 7 || digits.find_first_not_of("0123456789") != std::string::npos)
            throw std::invalid_argument(text);
        fraction = std::stoll(digits + std::string(7 - digits.size(), '0'));
    }
    const int64_t day = daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) - daysFromCivil(1, 1, 1);
    return ExtendedDateValue{day, (h * 3600 + mi * 60 + sec) * int64_t{10000000} + fraction};
}

Cell complexCell(const Column& column, const std::string& text)
{
    const auto items = listItems(text);
    if (column.type == ColumnType::Attachment) {
        Attachments files;
        for (const auto& item : items) {
            const auto [name, hex] = keyed(item);
            files.files.push_back({name, toBytes(hex).data});
        }
        return files;
    }
    if (column.type == ColumnType::VersionedMemo) {
        VersionHistory history;
        for (const auto& item : items) {
            const auto [date, memo] = keyed(item);
            history.versions.push_back({parseDateTime(date), memo});
        }
        return history;
    }
    MultiValues values;
    const Column valueColumn{column.name, column.valueType};
    for (const auto& item : items) {
        const Cell cell = parseCell(valueColumn, item);
        if (const auto* i = std::get_if<int64_t>(&cell)) values.values.emplace_back(*i);
        else if (const auto* r = std::get_if<double>(&cell)) values.values.emplace_back(*r);
        else values.values.emplace_back(std::get<std::string>(cell));
    }
    return values;
}

// Splits CSV records; a quoted field may hold commas, doubled quotes and line breaks.
class CsvReader {
public:
    CsvReader(std::istream& in, int& line) : in_(in), line_(line) {}

    // Returns false at "end" (or end of input).
    bool next(std::vector<Field>& fields)
    {
        std::string text;
        if (!std::getline(in_, text))
            return false;
        ++line_;
        if (text == "end" || text == "end\r")
            return false;
        fields.assign(1, Field{});
        bool inQuotes = false;
        for (size_t i = 0;; ++i) {
            if (i == text.size()) {
                if (!inQuotes)
                    break;
                fields.back().text += '\n';
                if (!std::getline(in_, text))
                    throw std::runtime_error("unterminated quoted field");
                ++line_;
                i = static_cast<size_t>(-1);
                continue;
            }
            const char c = text[i];
            Field& field = fields.back();
            if (inQuotes) {
                if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') { field.text += '"'; ++i; }
                else if (c == '"') inQuotes = false;
                else field.text += c;
            } else if (c == '"') {
                inQuotes = true;
                field.quoted = true;
            } else if (c == ',') {
                fields.emplace_back();
            } else if (c != '\r' || i + 1 != text.size()) {
                field.text += c;
            }
        }
        return true;
    }

private:
    std::istream& in_;
    int& line_;
};

std::vector<std::string> wordsOf(std::istringstream& words)
{
    std::vector<std::string> list;
    for (std::string word; words >> word;)
        list.push_back(word);
    return list;
}

// "A,B" -> {"A", "B"}
std::vector<std::string> commaList(const std::string& text)
{
    std::vector<std::string> items(1);
    for (const char c : text) {
        if (c == ',')
            items.emplace_back();
        else
            items.back() += c;
    }
    return items;
}

Column parseColumn(std::istringstream& words)
{
    Column column;
    std::string type;
    words >> column.name >> type;
    const auto found = typeNames().find(type);
    if (column.name.empty() || found == typeNames().end())
        throw std::runtime_error("expected: column NAME TYPE [SIZE] [required] [autonumber]");
    column.type = found->second;
    std::vector<std::string> rest = wordsOf(words);
    while (!rest.empty() && (rest.back() == "required" || rest.back() == "autonumber")) {
        (rest.back() == "required" ? column.required : column.autoNumber) = true;
        rest.pop_back();
    }
    size_t at = 0;
    const auto number = [&](int& into) {
        if (at >= rest.size())
            return;
        try {
            into = static_cast<int>(toInteger(rest[at++]));
        } catch (const std::logic_error&) {
            throw std::runtime_error("not a number: " + rest[at - 1]);
        }
    };
    if (column.type == ColumnType::MultiValue) {
        const auto value = at < rest.size() ? typeNames().find(rest[at++]) : typeNames().end();
        if (value == typeNames().end())
            throw std::runtime_error("expected: column NAME multivalue TYPE [SIZE]");
        column.valueType = value->second;
    }
    if (column.type == ColumnType::Decimal) {
        number(column.precision);
        number(column.scale);
    } else {
        number(column.size);
    }
    if (at != rest.size())
        throw std::runtime_error("unexpected: " + rest[at]);
    return column;
}

// index NAME [primary|unique] COLUMN [asc|desc] ...
Index parseIndex(std::istringstream& words)
{
    const std::vector<std::string> list = wordsOf(words);
    Index index;
    size_t at = 0;
    if (at < list.size())
        index.name = list[at++];
    if (at < list.size() && (list[at] == "primary" || list[at] == "unique")) {
        index.primary = list[at] == "primary";
        index.unique = list[at] == "unique";
        ++at;
    }
    for (; at < list.size(); ++at) {
        if ((list[at] == "desc" || list[at] == "asc") && !index.keys.empty())
            index.keys.back().descending = list[at] == "desc";
        else
            index.keys.push_back({list[at], false});
    }
    if (index.name.empty() || index.keys.empty())
        throw std::runtime_error("expected: index NAME [primary|unique] COLUMN [asc|desc] ...");
    return index;
}

// relationship NAME TABLE COLUMN[,COLUMN] references TABLE COLUMN[,COLUMN] [notenforced] [cascadeupdates] [cascadedeletes]
Relationship parseRelationship(std::istringstream& words)
{
    const std::vector<std::string> list = wordsOf(words);
    if (list.size() < 6 || list[3] != "references")
        throw std::runtime_error("expected: relationship NAME TABLE COLUMNS references TABLE COLUMNS [notenforced] "
                                 "[cascadeupdates] [cascadedeletes]");
    Relationship relation{list[0], list[1], commaList(list[2]), list[4], commaList(list[5])};
    for (size_t at = 6; at < list.size(); ++at) {
        if (list[at] == "notenforced")
            relation.enforced = false;
        else if (list[at] == "cascadeupdates")
            relation.cascadeUpdates = true;
        else if (list[at] == "cascadedeletes")
            relation.cascadeDeletes = true;
        else
            throw std::runtime_error("unexpected: " + list[at]);
    }
    return relation;
}

void applyDirective(Database& database, const std::string& keyword, const std::string& rest, std::istringstream& words,
                    std::istream& in, int& line)
{
    if (keyword == "format") {
        database.format = parseFormat(rest);
    } else if (keyword == "encryption") {
        if (rest != "agile" && rest != "rc4")
            throw std::runtime_error("encryption must be agile or rc4");
        database.encryption = rest == "agile" ? Encryption::Agile : Encryption::Rc4CryptoApi;
    } else if (keyword == "password") {
        database.password = rest;
    } else if (keyword == "created") {
        database.created = parseDateTime(rest);
    } else if (keyword == "table") {
        if (rest.empty())
            throw std::runtime_error("table needs a name");
        database.tables.push_back(Table{rest, {}, {}, {}});
    } else if (keyword == "relationship") {
        database.relationships.push_back(parseRelationship(words));
    } else if (keyword == "column" || keyword == "rows" || keyword == "index") {
        if (database.tables.empty())
            throw std::runtime_error(keyword + " before any table");
        Table& table = database.tables.back();
        if (keyword == "column") {
            table.columns.push_back(parseColumn(words));
            return;
        }
        if (keyword == "index") {
            table.indexes.push_back(parseIndex(words));
            return;
        }
        CsvReader reader(in, line);
        std::vector<Field> fields;
        while (reader.next(fields)) {
            if (fields.size() != table.columns.size())
                throw std::runtime_error("row has " + std::to_string(fields.size()) + " fields for " +
                                         std::to_string(table.columns.size()) + " columns");
            Row row;
            for (size_t i = 0; i < fields.size(); ++i)
                row.push_back(!fields[i].quoted && fields[i].text.empty() ? Cell{Null{}}
                                                                           : parseCell(table.columns[i], fields[i].text));
            table.rows.push_back(std::move(row));
        }
    } else {
        throw std::runtime_error("unknown keyword: " + keyword);
    }
}

}  // namespace

Format parseFormat(const std::string& name)
{
    static const std::map<std::string, Format> formats = {
        {"jet3", Format::Jet3}, {"jet4", Format::Jet4}, {"ace2007", Format::Ace2007}, {"ace2010", Format::Ace2010}};
    const auto found = formats.find(name);
    if (found == formats.end())
        throw std::runtime_error("format must be jet3, jet4, ace2007 or ace2010");
    return found->second;
}

double parseDateTime(const std::string& text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char tail = 0;
    const int n = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail);
    if ((n != 3 && n != 6) || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 ||
        s > 59)
        throw std::runtime_error("bad date/time: " + text);
    const auto days = static_cast<double>(daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)));
    const double fraction = (h * 3600 + mi * 60 + s) / 86400.0;
    // Before 1899-12-30 Jet keeps the time of day as a positive fraction after a negative day count.
    return days >= 0 ? days + fraction : days - fraction;
}

Cell parseCell(const Column& column, const std::string& text)
{
    try {
        switch (column.type) {
        case ColumnType::Byte: case ColumnType::Integer: case ColumnType::Long: return toInteger(text);
        case ColumnType::Single: case ColumnType::Double: return toReal(text);
        case ColumnType::Currency: return toCurrency(text);
        case ColumnType::DateTime: return DateValue{parseDateTime(text)};
        case ColumnType::YesNo: return toTruth(text);
        case ColumnType::Text: case ColumnType::Memo: return text;
        case ColumnType::Ole: case ColumnType::Binary: case ColumnType::Unknown: return toBytes(text);
        case ColumnType::Guid:
            if (auto guid = parseGuid(text))
                return *guid;
            throw std::invalid_argument(text);
        case ColumnType::Decimal: return toDecimal(text);
        case ColumnType::DateTimeExtended: return toExtendedDate(text);
        case ColumnType::Attachment: case ColumnType::MultiValue: case ColumnType::VersionedMemo:
            return complexCell(column, text);
        }
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    throw std::runtime_error("column " + column.name + ": bad value \"" + text + "\"");
}

Database parseDescription(std::istream& in)
{
    Database database;
    std::string text;
    int line = 0;
    try {
        while (std::getline(in, text)) {
            ++line;
            if (!text.empty() && text.back() == '\r')
                text.pop_back();
            std::istringstream words(text);
            std::string keyword;
            if (!(words >> keyword) || keyword[0] == '#')
                continue;
            std::string rest;
            std::getline(words >> std::ws, rest);
            std::istringstream args(rest);
            applyDirective(database, keyword, rest, args, in, line);
        }
    } catch (const std::runtime_error& e) {
        throw std::runtime_error("line " + std::to_string(line) + ": " + e.what());
    }
    return database;
}

}  // namespace jetwriter
