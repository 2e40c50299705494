#pragma once
// Complex columns of ACE tables (attachments, multi-value and version-history columns). The row keeps
// only a key; Access keeps the values in hidden tables. The column's descriptor holds its ComplexID;
// the row of MSysComplexColumns with that ComplexID names, by their MSysObjects Ids (whose low 24 bits
// are the definition pages), the table it belongs to (ConceptualTableID), a template table
// MSysComplexType_* (ComplexTypeObjectID: its columns tell which kind of column it is) and a flat table
// (FlatTableID) holding one row per value: the template's columns, an autonumber and the key of the
// user's row. The hidden tables keep the names the column had when it was created; the user may have
// renamed it since, so nothing here goes by the column's name.

#include "store/TableData.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace varnex::reader {

// Attachments show their file names and multi-value columns their values, as lists. A version-history
// column is hidden: the memo column it belongs to keeps the newest text itself.
enum class ComplexKind { Attachment, MultiValue, VersionHistory, Unknown };

struct ComplexLink {
    uint32_t templatePage = 0;
    uint32_t flatPage = 0;
};

// The link of the complex column of that ComplexID in the rows of MSysComplexColumns; nothing where it
// has none or the row names another table.
std::optional<ComplexLink> findComplexLink(const TableData& complexColumns, uint32_t tablePage, uint32_t complexId);

// A column of a hidden table as its definition has it.
struct ColumnShape {
    QString name;
    int typeCode = 0;         // the Access type code
    bool autoNumber = false;
};

// Which kind of column a template table's columns make.
ComplexKind complexKindOf(const std::vector<ColumnShape>& templateColumns);

// The columns of a flat table that collectComplexValues reads: the key of the user's row (the Long
// column that is neither the template's nor the autonumber) and the value shown (an attachment's
// FileName, a multi-value column's one value column). Nothing where the flat table lacks either.
struct FlatColumns {
    QString key;
    QString value;
};
std::optional<FlatColumns> findFlatColumns(const std::vector<ColumnShape>& flat, const std::vector<ColumnShape>& templateColumns,
                                           ComplexKind kind);

// Where a complex column's values are: found, hidden (a version history, shown by its memo column) or
// not to be read (a warning having said why).
struct ComplexTarget {
    enum class Outcome { Found, Hidden, Unread };
    Outcome outcome = Outcome::Unread;
    ComplexKind kind = ComplexKind::Unknown;
    void* flatTable = nullptr;  // libmdb's catalogue entry of the flat table, when found
    FlatColumns columns;
};

// The values of one complex column, by the key of the user's row, each a list cell (see ValueList.h);
// for values of a type that is not read (unsupportedType nonzero), their byte count instead.
struct ComplexValues {
    FieldType listOf = FieldType::Unsupported;  // the type of the listed values
    uint8_t precision = 0, scale = 0;
    std::unordered_map<uint32_t, std::string> lists;
    uint8_t unsupportedType = 0;
    std::unordered_map<uint32_t, uint32_t> unreadBytes;
};

// Collects the values from the flat table's key and value columns, as read.
std::optional<ComplexValues> collectComplexValues(const TableData& flat, const FlatColumns& columns);

}  // namespace varnex::reader
