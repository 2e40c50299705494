#pragma once
// Finding rows by the text their cells show: a row matches when the text of one
// of the chosen columns contains the searched text, ignoring case by the folding
// the text sort uses (appendFoldedUtf8). The searched text is plain: no
// character has a special meaning.
//
// A run holds everything it reads (the rows are shared, never changed), so it
// can go on another thread while the recordset it came from stays in use.

#include "data/ColumnTextProfile.h"
#include "store/TableData.h"
#include "data/ValueFormatter.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace varnex {

struct RowFilterRun {
    // Filled by Recordset::prepareFilter.
    std::shared_ptr<const TableData> rows;
    std::shared_ptr<const ValueFormatter> cellText;  // the locale's formats, resolved once
    std::shared_ptr<const ColumnTextProfiles> profiles;  // where known: columns to pass over
    std::vector<int> columns;
    QString text;
    std::string foldedText;
    std::vector<uint32_t> candidates;  // stored rows, in the order shown
    uint64_t preparedAt = 0;           // the recordset's order version then

    // Filled by run: the candidates that match, in their order.
    std::vector<uint32_t> matches;
    bool finished = false;

    // Looks at every candidate, on two threads where there are two cores; false
    // (and not finished) when cancel was set before the end.
    bool run(const std::atomic<bool>* cancel = nullptr);
};

// The text folded as the filter compares it.
std::string foldedFilterText(const QString& text);

}  // namespace varnex
