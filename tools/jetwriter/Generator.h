#pragma once
// Synthetic tables for benchmarks: varied values produced row by row (memory independent of the row count).

#include "jetwriter/JetWriter.h"

namespace jetwriter {

// Columns: ID (Long, 1..rows), Code (Text 50), Description (Text 100), Grade (Byte), Quantity (Integer),
// Ratio (Double), Stamp (Date/Time), Price (Currency), Active (Yes/No), Counter (Long).
// Texts mix non-ASCII letters, commas, double quotes and CR/LF; about 10% of the nullable cells are Null.
Table syntheticTable(const std::string& name, uint64_t rows, uint64_t seed);

// A memo- and date-heavy table. Columns: ID (Long, 1..rows), Created, Modified, Due (Date/Time), Notes (Memo
// of about 100 characters, kept on long-value pages), Tag (Text 20); about 10% of the nullable cells are Null.
Table memoDateTable(const std::string& name, uint64_t rows, uint64_t seed);

}  // namespace jetwriter
