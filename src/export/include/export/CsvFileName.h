#pragma once

#include <QString>

namespace varnex {

// The chosen name with ".CSV" appended unless it already ends in ".csv" in
// any letter case: report -> report.CSV, REPORT.csv stays, a.b -> a.b.CSV.
QString withCsvEnding(const QString& chosenName);

}  // namespace varnex
