#pragma once
// Client-side, read-only recordset in the manner of ADO: every row of a table
// is read into memory on Open; after disconnecting it stays readable and
// sortable on its own.

#include "core/Error.h"
#include "data/ReaderProcess.h"
#include "data/Variant.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace varnex {

class Connection;
class Recordset;
class TableData;  // columnar storage of the loaded rows
class ValueFormatter;

class Field {
public:
    Field(const Recordset* recordset, int column) : recordset_(recordset), column_(column) {}
    QString name() const;
    int16_t type() const;
    Variant value() const;  // value in the recordset's current row; Null at EOF/BOF

private:
    const Recordset* recordset_;
    int column_;
};

class Fields {
public:
    explicit Fields(const Recordset* recordset) : recordset_(recordset) {}
    int16_t count() const;
    Result<::varnex::Field> item(int index) const;            // 3265 when out of range
    Result<::varnex::Field> item(const QString& name) const;  // 3265 when absent (case-insensitive)

private:
    const Recordset* recordset_;
};

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Reads every row of the table named by source. A cancelled load (progress returned false)
    // leaves the recordset closed and returns no error.
    Status open(const QString& source, Connection* connection, const LoadProgress& progress = {});
    void disconnect();
    Connection* activeConnection() const { return connection_; }

    bool isOpen() const;
    Result<int64_t> recordCount() const;
    bool eof() const;
    bool bof() const;
    Status moveFirst();
    Status moveNext();
    ::varnex::Fields Fields() const;

    QString sort() const;
    Status setSort(const QString& specification);  // "[F]", "F1 ASC, [F2] DESC", "" restores load order

    Status close();

    // Fast access for the grid and the export, by position in the current (sorted) order.
    int16_t columnCount() const;
    QString columnName(int column) const;
    int16_t columnType(int column) const;
    bool isNull(int64_t position, int column) const;
    // The value text (data/ValueFormatter.h) under the default locale, as UTF-8 or as a QString.
    QString cellText(int64_t position, int column) const;
    void appendCellTextUtf8(int64_t position, int column, std::string& out) const;
    // The same, with the locale's formats resolved once by the caller (ValueFormatter::forDefaultLocale()).
    void appendCellTextUtf8(int64_t position, int column, const ValueFormatter& formatter, std::string& out) const;
    Variant value(int64_t position, int column) const;
    // Readers going through many positions ask for them a little ahead (see TableData::prefetch):
    // in a sorted order each position's row lies anywhere in memory.
    void prefetch(int64_t position, bool bytes) const;
    int64_t currentPosition() const { return position_; }

    // Opens the recordset over rows already loaded (the table list of a connection).
    void openOver(std::shared_ptr<const TableData> rows);

private:
    int64_t rowAt(int64_t position) const;

    std::shared_ptr<const TableData> data_;
    std::vector<uint32_t> order_;  // positions to stored rows; empty: load order
    QString sort_;
    int64_t position_ = 0;
    Connection* connection_ = nullptr;
};

}  // namespace varnex
