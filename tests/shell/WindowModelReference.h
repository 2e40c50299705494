#pragma once
// What the model-based window test compares with: two databases written once per test program,
// every table exported by the command line (`varnex export`, run as a process), and the rows a
// window should show, export and copy, worked out from those exports by the test's own code.

#include "jetwriter/JetWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace varnex::test::model {

// The two databases, A (0) and B (1): the same table names, other rows.
constexpr int kDatabases = 2;

struct TableSpec {
    std::string name;
    int rows;
};

// Around every edge of the reader's batches, the writer's blocks and its look-ahead.
const std::vector<TableSpec>& tableSpecs();
// Tables at least this long are loaded in a share of the sequences only (see WindowModelTest).
constexpr int kBigTableRows = 60000;

// A column of the test tables; the record id is hidden in the grid and left out of exports.
struct ColumnSpec {
    std::string name;
    jetwriter::ColumnType type;
};
const std::vector<ColumnSpec>& columnSpecs();
bool isRecordId(int column);

// A sort the window was asked for: each sorts the order the one before left, keeping ties.
struct SortStep {
    int column;
    bool descending;
};

// One table: its generated values and the command line's export of it.
class TableReference {
public:
    TableReference(int database, const TableSpec& spec, const QString& databasePath, const QString& workFolder);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    const QStringList& columnNames() const { return names_; }  // of the exported columns

    // The stored rows the window shows, in its order.
    std::vector<int> shownRows(const QString& filterText, const std::vector<SortStep>& sorts) const;
    // The bytes of the window's export of these rows.
    QByteArray exportBytes(const std::vector<int>& shown, bool header) const;
    // The text of one exported field of a stored row; column counts the grid's columns.
    const QString& text(int row, int column) const;

private:
    bool matches(int row, const std::string& folded) const;
    bool lessBy(int column, int a, int b) const;
    void readExport(const QByteArray& csv);

    std::vector<jetwriter::Row> rows_;
    QByteArray header_;
    QStringList names_;
    std::vector<QByteArray> lines_;             // each record's bytes, CR LF included, in load order
    std::vector<std::vector<QString>> fields_;  // each record's fields read back
    std::vector<std::vector<std::string>> folded_;  // the same, folded for the filter
    std::vector<std::vector<std::string>> sortText_;  // text columns folded for the sort
};

// Folds as the find bar and the text sort ignore letter case: each character to upper case.
std::string foldedUtf8(const QString& text);

// Writes the databases into folder on first use; the same paths after.
class Databases {
public:
    static Databases& instance();
    QString path(int database) const { return paths_[static_cast<size_t>(database)]; }
    const TableReference& table(int database, const std::string& name);

private:
    Databases();

    QString folder_;
    QString paths_[kDatabases];
    std::map<std::pair<int, std::string>, std::unique_ptr<TableReference>> tables_;
};

}  // namespace varnex::test::model
