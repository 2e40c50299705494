#pragma once
// Complex columns of ACE tables (attachments, multi-value and version-history columns). The row keeps
// only a key; Access keeps the values in hidden tables. MSysComplexColumns links each complex column, by
// its name and its table's definition page (ConceptualTableID), to a template table MSysComplexType_*
// (ComplexTypeObjectID: which kind of column it is) and to a flat table "f_<hex>_<column>" (FlatTableID)
// holding one row per value, with the key of the user's row in its column "_<column>". The IDs are
// MSysObjects Ids, whose low 24 bits are the definition page.

#include "data/TableData.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace varnex::reader {

// Attachments show their file names and multi-value columns their values, as lists. A version-history
// column is hidden: the memo column it belongs to keeps the newest text itself.
enum class ComplexKind { Attachment, MultiValue, VersionHistory, Unknown };

struct ComplexLink {
    uint32_t templatePage = 0;
    uint32_t flatPage = 0;
};

// The link of a table's complex column in the rows of MSysComplexColumns; nothing where it has none.
std::optional<ComplexLink> findComplexLink(const TableData& complexColumns, uint32_t tablePage, const QString& column);

ComplexKind complexKindOf(const QString& templateName);

// The values of one complex column, by the key of the user's row, each a list cell (see ValueList.h).
struct ComplexValues {
    int16_t listOf = 0;           // the type of the listed values
    uint8_t precision = 0, scale = 0;
    std::unordered_map<uint32_t, std::string> lists;
};

// Whether collectComplexValues needs this column of a complex column's flat table (the others,
// such as an attachment's file data, need not be read).
bool isNeededFlatColumn(const QString& flatColumn, const QString& column);

// Collects the values of an attachment or multi-value column from its flat table; nothing where the
// flat table lacks the key or value column.
std::optional<ComplexValues> collectComplexValues(const TableData& flat, const QString& column, ComplexKind kind);

}  // namespace varnex::reader
