#include "support/CsvReadBack.h"

#include "core/LocaleCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

#include <string>

namespace varnex::test {

namespace {

QString PythonEncoding()
{
    return QString::fromLatin1(localeCodeSet());
}

std::vector<std::string> Normalised(const QStringList& record)
{
    std::vector<std::string> fields;
    if (record == QStringList{QString()})
        return fields;
    for (const QString& field : record)
        fields.push_back(field.toStdString());
    return fields;
}

}  // namespace

CsvRecords ReadCsvWithPython(const QString& path)
{
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral(VARNEX_READ_CSV_SCRIPT), path, PythonEncoding()});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        ADD_FAILURE() << "python's csv reader failed on " << path.toStdString() << ": "
                      << python.readAllStandardError().toStdString();
        return {};
    }
    CsvRecords records;
    const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    for (const QJsonValue& row : rows) {
        QStringList fields;
        for (const QJsonValue& field : row.toArray())
            fields << field.toString();
        records.push_back(fields);
    }
    return records;
}

void ExpectReadsBackAs(const QString& path, const CsvRecords& expected)
{
    const CsvRecords actual = ReadCsvWithPython(path);
    ASSERT_EQ(actual.size(), expected.size()) << path.toStdString();
    for (std::size_t r = 0; r < actual.size(); ++r)
        EXPECT_EQ(Normalised(actual[r]), Normalised(expected[r])) << "record " << r << " of " << path.toStdString();
}

}  // namespace varnex::test
