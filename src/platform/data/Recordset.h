#pragma once
// Client-side, read-only recordset in the manner of ADO: every row of a table
// is read into memory on Open; after disconnecting it stays readable and
// sortable on its own.
//
// DRAFT INTERFACE: the data-access work fills in the implementation and may add
// to it; the names below are what the browser, the export and the settings use.

#include "platform/Error.h"
#include "platform/data/Variant.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace varnex {

class Connection;
class Recordset;
class TableData;  // columnar storage of the loaded rows

class Field {
public:
    QString Name() const;
    int16_t Type() const;
    Variant Value() const;  // value in the recordset's current row (Null at EOF/BOF is an error 3021 in ADO)
};

class Fields {
public:
    int16_t Count() const;
    Result<::varnex::Field> Item(int index) const;            // 3265 when out of range
    Result<::varnex::Field> Item(const QString& name) const;  // 3265 when absent (case-insensitive)
};

// Progress of a long Open: called now and then with rows read so far and the
// table's row count; returning false cancels the load.
using LoadProgress = std::function<bool(int64_t rowsRead, int64_t rowCount)>;

class Recordset {
public:
    Recordset();
    ~Recordset();

    void setCursorLocation(int location);
    Status Open(const QString& source, Connection* connection, int cursorType, int lockType, int options,
                const LoadProgress& progress = {});
    void setActiveConnection(std::nullptr_t);  // disconnect

    int State() const;  // adStateClosed / adStateOpen
    Result<int64_t> RecordCount() const;
    bool Eof() const;
    bool Bof() const;
    Status MoveFirst();
    Status MoveNext();
    ::varnex::Fields Fields() const;

    QString Sort() const;
    Status setSort(const QString& specification);  // "[F]", "F1 ASC, [F2] DESC", "" restores load order

    Status Close();

    // Fast access for the grid and the export, by position in the current (sorted) order.
    int16_t columnCount() const;
    QString columnName(int column) const;
    int16_t columnType(int column) const;
    bool isNull(int64_t position, int column) const;
    QString cellText(int64_t position, int column) const;                 // the shared value text
    void appendCellTextUtf8(int64_t position, int column, std::string& out) const;
};

}  // namespace varnex
