#pragma once
// Reads a CSV file back with an independent reader (Python's csv module).

#include <QString>
#include <QStringList>

#include <vector>

namespace varnex::test {

using CsvRecords = std::vector<QStringList>;

// The records of the file, each as its fields; the file's bytes are decoded
// in the ANSI code set in use.
CsvRecords ReadCsvWithPython(const QString& path);

// Checks that the file reads back into exactly these records. A blank line is
// one empty field or none, as CSV cannot tell them apart.
void ExpectReadsBackAs(const QString& path, const CsvRecords& expected);

}  // namespace varnex::test
