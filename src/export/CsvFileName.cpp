#include "export/CsvFileName.h"

namespace varnex {

QString withCsvEnding(const QString& chosenName)
{
    if (chosenName.right(4).toUpper() == QLatin1String(".CSV"))
        return chosenName;
    return chosenName + QLatin1String(".CSV");
}

}  // namespace varnex
