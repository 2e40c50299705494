#pragma once

#include "core/Error.h"
#include "export/CsvSink.h"

#include <QSaveFile>
#include <QString>

namespace varnex {

// Writes to a temporary file in the folder of the final name and renames it
// over that name only on commit(), so an unfinished export leaves neither a
// partial file nor a damaged older one.
class CsvFileSink : public CsvSink {
public:
    explicit CsvFileSink(const QString& finalName);
    ~CsvFileSink() override;  // discards what was not committed

    Status open();
    Status write(std::string_view bytes) override;
    Status commit();

private:
    Error failure(const QString& action) const;

    QString finalName_;
    QSaveFile file_;
};

}  // namespace varnex
