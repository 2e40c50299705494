// Access 2007+ files in the window: complex columns and extended dates in the grid and in the exported
// bytes, encrypted files opened with their password, and the table list without the hidden tables.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "support/ExportFixture.h"

#include "shell/DataGrid.h"

#include <QComboBox>
#include <QLocale>

namespace varnex::test {
namespace {

using jetwriter::Attachments;
using jetwriter::ColumnType;
using jetwriter::Encryption;
using jetwriter::ExtendedDateValue;
using jetwriter::MultiValues;
using jetwriter::Null;
using jetwriter::VersionHistory;

jetwriter::Table Things()
{
    jetwriter::Table table{"Things",
                           {{"Name", ColumnType::Text},
                            {"Files", ColumnType::Attachment},
                            {"Tags", ColumnType::MultiValue},
                            {"Sizes", ColumnType::MultiValue, 0, 18, 0, ColumnType::Double},
                            {"Stamp", ColumnType::DateTimeExtended},
                            {"Notes", ColumnType::VersionedMemo}},
                           {},
                           {}};
    table.rows = {{std::string("full"), Attachments{{{"report.pdf", {'%'}}, {"photo \"1\".JPG", {0xFF}}}},
                   MultiValues{{std::string("red"), std::string("green, blue")}}, MultiValues{{2.5, -0.125}},
                   ExtendedDateValue{737954, 459001234567}, VersionHistory{{{40798.0, "first"}, {40798.5, "newest"}}}},
                  {std::string("empty"), Null{}, Null{}, Null{}, ExtendedDateValue{0, 0}, Null{}},
                  {std::string("comma"), Null{}, Null{}, MultiValues{{1.0}}, ExtendedDateValue{737954, 36000000000}, Null{}}};
    return table;
}

// The exported records of Things: lists quoted as text, extended dates bare as dates.
const std::string kThingsCsv = "\"full\",\"report.pdf; photo \"\"1\"\".JPG\",\"red; green, blue\",\"2.5; -0.125\","
                               "6/14/2021 12:45:00.1234567 PM,\"newest\"\r\n"
                               "\"empty\",\"\",\"\",\"\",1/1/0001,\"\"\r\n"
                               "\"comma\",\"\",\"\",\"1\",6/14/2021 1:00:00 AM,\"\"\r\n";

class AceExportTest : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::system());
        ExportFixture::TearDown();
    }

    void open(const jetwriter::Database& database, const QString& password)
    {
        const QString file = folder() + QStringLiteral("/../db%1.accdb").arg(++databases_);
        jetwriter::writeDatabase(database, file.toStdString());
        connectTo(file, QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0"), password);
        ASSERT_TRUE(form().fillTableList().ok());
    }

    QStringList listed()
    {
        QStringList names;
        for (int i = 0; i < form().tableList->count(); ++i)
            names << form().tableList->itemText(i);
        return names;
    }

    std::string gridRows()
    {
        const QAbstractItemModel* model = form().grid->model();
        QStringList rows;
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column)
                cells << model->index(row, column).data().toString();
            rows << cells.join(" | ");
        }
        return rows.join("\n").toStdString();
    }

    int databases_ = 0;
};

TEST_F(AceExportTest, ComplexColumnsAndExtendedDatesInTheGridAndTheCsv)
{
    jetwriter::Database database{jetwriter::Format::Ace2010, {}, Encryption::Agile, 45000.0, {Things()}};
    open(database, {});
    EXPECT_EQ(listed().join(", ").toStdString(), "Things");
    form().showTable("Things");
    ASSERT_NE(form().grid->recordset(), nullptr);
    EXPECT_EQ(gridRows(), "full | report.pdf; photo \"1\".JPG | red; green, blue | 2.5; -0.125 | "
                          "6/14/2021 12:45:00.1234567 PM | newest\n"
                          "empty |  |  |  | 1/1/0001 | \n"
                          "comma |  |  | 1 | 6/14/2021 1:00:00 AM | ");
    setHeader(true);
    EXPECT_EQ(exportAs("things").toStdString(), "\"Name\",\"Files\",\"Tags\",\"Sizes\",\"Stamp\",\"Notes\"\r\n" + kThingsCsv);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(AceExportTest, EncryptedFilesListAndExportWithTheirPassword)
{
    for (const Encryption encryption : {Encryption::Agile, Encryption::Rc4CryptoApi}) {
        SCOPED_TRACE(encryption == Encryption::Agile ? "agile" : "rc4");
        jetwriter::Table people{"People", {{"ID", ColumnType::Long}, {"Name", ColumnType::Text}}, {{int64_t{1}, std::string("Ann")}}, {}};
        jetwriter::Database database{jetwriter::Format::Ace2010, std::string("Pa55 w\u00f6rd"), encryption, 45000.0,
                                     {people, Things()}};
        database.spinCount = 2000;
        open(database, QStringLiteral("Pa55 w\u00f6rd"));
        EXPECT_EQ(listed().join(", ").toStdString(), "People, Things");
        form().showTable("People");
        EXPECT_EQ(exportAs("people").toStdString(), "1,\"Ann\"\r\n");
        form().showTable("Things");
        EXPECT_EQ(exportAs("things").toStdString(), kThingsCsv);
    }
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(logLines().isEmpty());
}

}  // namespace
}  // namespace varnex::test
