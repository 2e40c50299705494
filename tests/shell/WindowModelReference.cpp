#include "WindowModelReference.h"

#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <QChar>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>

namespace varnex::test::model {
namespace {

using jetwriter::ColumnType;

uint64_t mixed(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Short texts with letters that fold in every way: ASCII and not, into ASCII (dotless i), title
// case, beyond the basic plane; and the characters CSV and the clipboard must quote.
const char* const kNames[] = {
    "M\u00fcller",      "MULLER",        "muller",         "Zo\u00eb \"Z\"",    "\u00c9milie",
    "\u00e9mile",       "Stra\u00dfe",   "STRASSE",        "\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8",
    "I\u011fd\u0131r",  "bob",           "Ann-Marie",      "O'Hara",            "a,b;c",
    "two\r\nlines",     "tab\there",     "",               "\u00dcn\u00efc\u00f6d\u00e9 \u00c5\u00c4\u00d6",
    "\U0001F600 smile", "\u01c5emal",
};

jetwriter::Cell name(uint64_t h, int row)
{
    if (h % 13 == 0)
        return jetwriter::Null{};
    if ((h >> 8) % 3 == 0)
        return std::string("r") + std::to_string(row);
    return std::string(kNames[(h >> 16) % std::size(kNames)]);
}

// Every 97th note is long, longer than a grid cell shows.
jetwriter::Cell note(uint64_t h, int row)
{
    if (row % 97 == 42) {
        std::string text;
        for (int line = 0; text.size() < 3000; ++line)
            text += "\u00dcn\u00efc\u00f6d\u00e9 line " + std::to_string(line) + ", \"quoted\"; \u65e5\u672c\r\n";
        return text + "end of " + std::to_string(row);
    }
    if (h % 3 == 0)
        return jetwriter::Null{};
    return "note " + std::to_string(row) + ((h >> 12) % 2 ? " \u00fc" : " Y");
}

jetwriter::Row generatedRow(int database, int table, int row)
{
    const uint64_t h = mixed((static_cast<uint64_t>(database) << 48) ^ (static_cast<uint64_t>(table) << 32) ^
                             static_cast<uint64_t>(row));
    jetwriter::Row values;
    values.emplace_back(int64_t{row + 1});
    if (row % 29 == 5)
        values.emplace_back(jetwriter::Null{});
    else
        values.emplace_back(int64_t{database == 0 ? row + 1 : row * 3 + 7});
    values.push_back(name(h, row));
    values.push_back(note(h >> 5, row));
    if ((h >> 24) % 10 == 0)
        values.emplace_back(jetwriter::Null{});
    else
        values.emplace_back(static_cast<double>(static_cast<int64_t>((h >> 28) % 2001) - 1000) / 8.0);
    if ((h >> 40) % 10 == 0)
        values.emplace_back(jetwriter::Null{});
    else
        values.emplace_back(jetwriter::DateValue{30000.0 + static_cast<double>((h >> 42) % 20000) +
                                                 static_cast<double>((h >> 12) % 1440) / 1440.0});
    values.emplace_back(((h >> 7) & 1) != 0);
    return values;
}

jetwriter::Table tableOf(int database, int index, const TableSpec& spec)
{
    jetwriter::Table table;
    table.name = spec.name;
    for (const ColumnSpec& column : columnSpecs())
        table.columns.push_back({column.name, column.type});
    table.rowSource = [database, index, rows = spec.rows, next = 0](jetwriter::Row& row) mutable {
        if (next == rows)
            return false;
        row = generatedRow(database, index, next++);
        return true;
    };
    return table;
}

// The records of a CSV text as the command line writes it: each record's bytes and its fields.
void splitCsv(const QByteArray& csv, std::vector<QByteArray>& records, std::vector<std::vector<QString>>& fields)
{
    qsizetype at = 0;
    while (at < csv.size()) {
        const qsizetype start = at;
        std::vector<QString> record;
        QByteArray field;
        bool quoted = false;
        for (;;) {
            if (at >= csv.size()) {
                ADD_FAILURE() << "the export ends inside a record";
                return;
            }
            const char c = csv[at++];
            if (quoted) {
                if (c != '"') {
                    field += c;
                } else if (at < csv.size() && csv[at] == '"') {
                    field += '"';
                    ++at;
                } else {
                    quoted = false;
                }
            } else if (c == '"') {
                quoted = true;
            } else if (c == ',') {
                record.push_back(QString::fromUtf8(field));
                field.clear();
            } else if (c == '\r' && at < csv.size() && csv[at] == '\n') {
                ++at;
                record.push_back(QString::fromUtf8(field));
                break;
            } else {
                field += c;
            }
        }
        records.push_back(csv.mid(start, at - start));
        fields.push_back(std::move(record));
    }
}

}  // namespace

const std::vector<TableSpec>& tableSpecs()
{
    static const std::vector<TableSpec> specs = {
        {"Empty", 0},       {"One", 1},           {"Seven", 7},           {"Eight", 8},
        {"Nine", 9},        {"Sixteen", 16},      {"Seventeen", 17},      {"Rows 4095", 4095},
        {"Rows 4096", 4096}, {"Rows 4097", 4097}, {"Big", kBigTableRows},
    };
    return specs;
}

const std::vector<ColumnSpec>& columnSpecs()
{
    static const std::vector<ColumnSpec> columns = {
        {"RecId", ColumnType::Long},  {"ID", ColumnType::Long},         {"Name", ColumnType::Text},
        {"Note", ColumnType::Memo},   {"Amount", ColumnType::Double},   {"When", ColumnType::DateTime},
        {"Done", ColumnType::YesNo},
    };
    return columns;
}

bool isRecordId(int column)
{
    return column == 0;
}

std::string foldedUtf8(const QString& text)
{
    std::u32string folded;
    for (const char32_t c : text.toUcs4())
        folded += QChar::toUpper(c);
    return QString::fromUcs4(folded.data(), static_cast<qsizetype>(folded.size())).toStdString();
}

TableReference::TableReference(int database, const TableSpec& spec, const QString& databasePath,
                               const QString& workFolder)
{
    const auto index = static_cast<int>(std::find_if(tableSpecs().begin(), tableSpecs().end(),
                                                     [&](const TableSpec& s) { return s.name == spec.name; }) -
                                        tableSpecs().begin());
    for (int row = 0; row < spec.rows; ++row)
        rows_.push_back(generatedRow(database, index, row));
    const VarnexRun run = runVarnex({"export", databasePath, QString::fromStdString(spec.name)}, workFolder);
    EXPECT_EQ(run.status, 0) << spec.name;
    EXPECT_EQ(run.err.toStdString(), "") << spec.name;
    readExport(run.out);
}

void TableReference::readExport(const QByteArray& csv)
{
    std::vector<QByteArray> records;
    std::vector<std::vector<QString>> fields;
    splitCsv(csv, records, fields);
    if (records.empty()) {
        ADD_FAILURE() << "the command line wrote no header";
        return;
    }
    header_ = records.front();
    for (const QString& heading : fields.front())
        names_ << heading;
    lines_.assign(records.begin() + 1, records.end());
    fields_.assign(fields.begin() + 1, fields.end());
    EXPECT_EQ(lines_.size(), rows_.size()) << "records exported";
    lines_.resize(rows_.size());
    fields_.resize(rows_.size(), std::vector<QString>(static_cast<size_t>(names_.size())));
    for (const std::vector<QString>& record : fields_) {
        std::vector<std::string> folded;
        for (const QString& field : record)
            folded.push_back(foldedUtf8(field));
        folded_.push_back(std::move(folded));
    }
    for (const jetwriter::Row& row : rows_) {
        std::vector<std::string> texts(row.size());
        for (size_t c = 0; c < row.size(); ++c) {
            if (const auto* text = std::get_if<std::string>(&row[c]))
                texts[c] = foldedUtf8(QString::fromStdString(*text));
        }
        sortText_.push_back(std::move(texts));
    }
}

const QString& TableReference::text(int row, int column) const
{
    return fields_[static_cast<size_t>(row)][static_cast<size_t>(column - 1)];
}

bool TableReference::matches(int row, const std::string& folded) const
{
    const std::vector<std::string>& texts = folded_[static_cast<size_t>(row)];
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::string& text) { return text.find(folded) != std::string::npos; });
}

// Ascending order of two values that are not Null.
bool TableReference::lessBy(int column, int a, int b) const
{
    const jetwriter::Cell& x = rows_[static_cast<size_t>(a)][static_cast<size_t>(column)];
    const jetwriter::Cell& y = rows_[static_cast<size_t>(b)][static_cast<size_t>(column)];
    switch (columnSpecs()[static_cast<size_t>(column)].type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        return sortText_[static_cast<size_t>(a)][static_cast<size_t>(column)] <
               sortText_[static_cast<size_t>(b)][static_cast<size_t>(column)];
    case ColumnType::Double: return std::get<double>(x) < std::get<double>(y);
    case ColumnType::DateTime: return std::get<jetwriter::DateValue>(x).days < std::get<jetwriter::DateValue>(y).days;
    case ColumnType::YesNo: return std::get<bool>(x) && !std::get<bool>(y);  // Yes comes first
    default: return std::get<int64_t>(x) < std::get<int64_t>(y);
    }
}

std::vector<int> TableReference::shownRows(const QString& filterText, const std::vector<SortStep>& sorts) const
{
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    for (const SortStep& step : sorts) {
        const auto isNull = [&](int row) {
            return std::holds_alternative<jetwriter::Null>(rows_[static_cast<size_t>(row)][static_cast<size_t>(step.column)]);
        };
        // Nulls first going up and last going down; equal values keep their order either way.
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            if (isNull(a) || isNull(b))
                return step.descending ? !isNull(a) && isNull(b) : isNull(a) && !isNull(b);
            return step.descending ? lessBy(step.column, b, a) : lessBy(step.column, a, b);
        });
    }
    if (filterText.isEmpty())
        return order;
    const std::string folded = foldedUtf8(filterText);
    std::vector<int> shown;
    std::copy_if(order.begin(), order.end(), std::back_inserter(shown), [&](int row) { return matches(row, folded); });
    return shown;
}

QByteArray TableReference::exportBytes(const std::vector<int>& shown, bool header) const
{
    QByteArray bytes = header ? header_ : QByteArray();
    for (const int row : shown)
        bytes += lines_[static_cast<size_t>(row)];
    return bytes;
}

Databases& Databases::instance()
{
    static Databases databases;
    return databases;
}

Databases::Databases()
{
    static TempDir dir;
    folder_ = dir.path();
    for (int database = 0; database < kDatabases; ++database) {
        jetwriter::Database file;
        file.format = jetwriter::Format::Jet4;
        for (size_t t = 0; t < tableSpecs().size(); ++t)
            file.tables.push_back(tableOf(database, static_cast<int>(t), tableSpecs()[t]));
        paths_[database] = dir.file(database == 0 ? QStringLiteral("A.mdb") : QStringLiteral("B.mdb"));
        jetwriter::writeDatabase(file, paths_[database].toStdString());
    }
}

const TableReference& Databases::table(int database, const std::string& name)
{
    std::unique_ptr<TableReference>& table = tables_[{database, name}];
    if (!table) {
        const auto spec = std::find_if(tableSpecs().begin(), tableSpecs().end(),
                                       [&](const TableSpec& s) { return s.name == name; });
        table = std::make_unique<TableReference>(database, *spec, path(database), folder_);
    }
    return *table;
}

}  // namespace varnex::test::model
