#pragma once
// Client-side, read-only recordset: every row of a table is read into memory on
// open, and it stays readable and sortable on its own, by position and column.

#include "core/Error.h"
#include "data/ReaderProcess.h"
#include "data/RowFilter.h"
#include "store/Variant.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace varnex {

class Connection;
class TableData;  // columnar storage of the loaded rows
class ValueFormatter;

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Reads every row of the table named by source. A cancelled load (progress or received returned
    // false) leaves the recordset closed and returns no error. received: see RowsReceived.
    Status open(const QString& source, Connection* connection, const LoadProgress& progress = {},
                const RowsReceived& received = {});

    bool isOpen() const;
    Result<int64_t> recordCount() const;

    QString sort() const;
    Status setSort(const QString& specification);  // "[F]", "F1 ASC, [F2] DESC", "" restores load order

    // Shows only the rows where the text of one of the columns (by index) contains
    // text, ignoring case as the text sort does; every character of text stands for
    // itself. An empty text shows every row again. recordCount() and the positions
    // follow the filter; a sort orders every row and the filter keeps applying.
    // BadArguments for a column the recordset does not have.
    Status setFilter(const QString& text, const std::vector<int>& columns);
    QString filter() const { return filterText_; }
    bool isFiltered() const { return filtered_; }
    // The same filter made ready to run on another thread (RowFilterRun::run). A
    // text that holds the current filter's text, over the same columns, looks only
    // at the rows shown now.
    RowFilterRun prepareFilter(const QString& text, const std::vector<int>& columns) const;
    // Shows the rows a finished run found. False, changing nothing, where the run
    // did not finish or the rows shown or their order changed after it was prepared.
    bool applyFilter(RowFilterRun& run);
    // Every loaded row, whatever the filter shows.
    Result<int64_t> unfilteredCount() const;
    // Profiles of the loaded rows' texts (profileColumnTexts), which let a filter
    // pass over columns that cannot match; ignored where made over other rows.
    void setTextProfiles(std::shared_ptr<const ColumnTextProfiles> profiles);

    Status close();

    // Fast access for the grid and the export, by position in the current (sorted) order.
    int columnCount() const;
    QString columnName(int column) const;
    // The column with that name, letter case ignored; -1 where there is none.
    int columnIndex(const QString& name) const;
    FieldType columnType(int column) const;
    bool isNull(int64_t position, int column) const;
    // The value text (data/ValueFormatter.h) under the default locale, as UTF-8 or as a QString.
    QString cellText(int64_t position, int column) const;
    // A value of a type not read: the placeholder the grid shows for it (see unreadValueText); else empty.
    QString unreadCellText(int64_t position, int column) const;
    void appendCellTextUtf8(int64_t position, int column, std::string& out) const;
    // The same, with the locale's formats resolved once by the caller (ValueFormatter::forDefaultLocale()).
    void appendCellTextUtf8(int64_t position, int column, const ValueFormatter& formatter, std::string& out) const;
    Variant value(int64_t position, int column) const;
    // Readers going through many positions ask for them a little ahead (see TableData::prefetch):
    // in a sorted order each position's row lies anywhere in memory.
    void prefetch(int64_t position, bool bytes) const;

    // Opens the recordset over rows already loaded (the table list of a connection), with what their
    // read could not read.
    void openOver(std::shared_ptr<const TableData> rows, std::vector<ReadWarning> warnings = {});
    // What the load could not read: values left empty or cut short, rows left out. Empty for a whole one.
    const std::vector<ReadWarning>& warnings() const { return warnings_; }
    // The loaded rows, shared: a recordset opened over them reads them in load
    // order, from any thread, while this one is sorted or filtered.
    std::shared_ptr<const TableData> loadedRows() const { return data_; }
    // The stored row at a position in the current order; -1 where there is none.
    int64_t storedRow(int64_t position) const;
    // A recordset over the same loaded rows showing the rows shown now, in their order, which
    // stays so whatever this one is sorted or filtered by later; it can be read on any thread.
    // Closed where this one is.
    std::unique_ptr<Recordset> snapshot() const;

private:
    int64_t rowAt(int64_t position) const;
    int64_t shownCount() const;
    bool validCell(int64_t position, int column) const;
    std::vector<uint32_t> fullOrder() const;
    void clearFilter();
    void keepFilteredRowsInOrder();

    std::shared_ptr<const TableData> data_;
    std::vector<ReadWarning> warnings_;
    std::vector<uint32_t> order_;  // positions to stored rows; empty: load order
    QString sort_;
    bool filtered_ = false;
    std::vector<uint32_t> shown_;  // with a filter: positions to stored rows
    QString filterText_;
    std::string filterFolded_;
    std::vector<int> filterColumns_;
    uint64_t orderVersion_ = 0;    // changes whenever the rows shown or their order do
    std::shared_ptr<const ColumnTextProfiles> profiles_;
};

}  // namespace varnex
