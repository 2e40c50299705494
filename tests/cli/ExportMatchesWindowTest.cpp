// varnex export writes the bytes the window's Export button writes for the same table and options.

#include "support/ExportFixture.h"
#include "TestDatabases.h"
#include "VarnexProcess.h"

#include "app/AppSettings.h"
#include "core/LocaleCodec.h"
#include "data/Recordset.h"

#include <QComboBox>
#include <QFile>
#include <QLocale>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

jetwriter::Table Sample()
{
    return Table("Sample",
                 {Column("RECID", ColumnType::Long), Column("ID", ColumnType::Long), Column("Name", ColumnType::Text),
                  Column("Note", ColumnType::Memo), Column("Amount", ColumnType::Double),
                  Column("Money", ColumnType::Currency), Column("When", ColumnType::DateTime),
                  Column("Done", ColumnType::YesNo)},
                 {{I(1), I(3), T("Zoë"), T("日本 \"quoted\", two\r\nlines"), 1.5, jetwriter::CurrencyValue{12345678},
                   jetwriter::DateValue{46363.4375}, true},
                  {I(2), I(1), T("Ann"), N(), -0.25, N(), jetwriter::DateValue{-10.5}, false},
                  {I(3), I(2), T("Zoë"), T("plain"), N(), jetwriter::CurrencyValue{-5}, N(), true},
                  {I(4), I(4), N(), T("Straße"), 1e20, jetwriter::CurrencyValue{0}, jetwriter::DateValue{1}, false}});
}

// More rows than the reader sends in one batch, so that the command line writes while it reads.
jetwriter::Table Numbered(int rows)
{
    std::vector<jetwriter::Row> values;
    for (int i = 1; i <= rows; ++i)
        values.push_back({I(i), T("line " + std::to_string(i)), jetwriter::DateValue{40000.0 + i / 7.0}});
    return Table("Numbered", {Column("ID", ColumnType::Long), Column("Text", ColumnType::Text),
                              Column("When", ColumnType::DateTime)},
                 values);
}

// Long outputs are told apart by their sizes and where they first differ, not printed whole.
void ExpectSameBytes(const QByteArray& written, const QByteArray& expected)
{
    if (written == expected)
        return;
    qsizetype at = 0;
    while (at < written.size() && at < expected.size() && written[at] == expected[at])
        ++at;
    ADD_FAILURE() << written.size() << " bytes written, " << expected.size() << " expected; from byte " << at
                  << " written: " << written.mid(at, 60).toStdString() << " expected: " << expected.mid(at, 60).toStdString();
}

class ExportMatchesWindow : public ExportFixture {
protected:
    void TearDown() override
    {
        QLocale::setDefault(QLocale::system());
        ExportFixture::TearDown();
    }

    // The window's export of the table under the code set, header setting, sort and formats.
    QByteArray windowExport(const QByteArray& codeSet, bool header, const QString& sort, const QLocale& formats,
                            const QString& table = "Sample")
    {
        QLocale::setDefault(formats);
        setLocaleCodeSetForTesting(codeSet);
        setHeader(header);
        form().showTable(table);
        if (!sort.isEmpty()) {
            EXPECT_TRUE(form().grid->recordset()->setSort(sort).ok());
        }
        return exportAs(QStringLiteral("window%1").arg(++exports_));
    }

private:
    int exports_ = 0;
};

TEST_F(ExportMatchesWindow, ForEveryHeaderSortEncodingAndMark)
{
    openDatabase({Sample(), Numbered(10000)});
    const QString database = appSettings().dataPath;
    const QByteArray bom = "\xEF\xBB\xBF";
    const QStringList c = {"LC_ALL=C"};
    const QStringList cUtf8 = {"LC_ALL=C.UTF-8"};
    const QStringList german = {"LANG=de_DE.UTF-8", "LC_CTYPE=C.UTF-8"};
    const QLocale cFormats = QLocale::c();
    const QLocale germanFormats(QLocale::German, QLocale::Germany);
    struct Case {
        const char* name;
        QStringList options;
        QStringList locale;   // of the command line
        QByteArray codeSet;   // and the window's, to match it
        QLocale formats;
        bool header;
        QString sort;
        bool mark;
        const char* table = "Sample";
    };
    const std::vector<Case> cases = {
        {"defaults: a header and UTF-8 under any locale", {}, c, "UTF-8", cFormats, true, {}, false},
        {"header asked", {"--header"}, cUtf8, "UTF-8", cFormats, true, {}, false},
        {"no header", {"--no-header"}, cUtf8, "UTF-8", cFormats, false, {}, false},
        {"sorted by two keys", {"--sort", "Name DESC, [ID]"}, cUtf8, "UTF-8", cFormats, true, "Name DESC, [ID]", false},
        {"sorted, no header, given as --sort=", {"--sort=When", "--no-header"}, c, "UTF-8", cFormats, false, "When",
         false},
        {"the locale's code set: ASCII", {"--encoding", "locale"}, c, "ANSI_X3.4-1968", cFormats, true, {}, false},
        {"the locale's code set: UTF-8", {"--encoding=locale"}, cUtf8, "UTF-8", cFormats, true, {}, false},
        {"the locale's formats: German", {"--sort", "Amount"}, german, "UTF-8", germanFormats, true, "Amount", false},
        {"a byte-order mark", {"--bom"}, c, "UTF-8", cFormats, true, {}, true},
        {"a mark, no header, the locale's UTF-8", {"--bom", "--no-header", "--encoding", "locale"}, cUtf8, "UTF-8",
         cFormats, false, {}, true},
        {"to a file", {"-o", "cli.csv", "--sort", "ID DESC"}, cUtf8, "UTF-8", cFormats, true, "ID DESC", false},
        {"to standard output by name", {"--output", "-"}, cUtf8, "UTF-8", cFormats, true, {}, false},
        {"many rows to standard output", {}, cUtf8, "UTF-8", cFormats, true, {}, false, "Numbered"},
        {"many rows to a file", {"-o", "cli.csv", "--no-header"}, cUtf8, "UTF-8", cFormats, false, {}, false, "Numbered"},
        {"many rows sorted", {"--sort", "ID DESC"}, cUtf8, "UTF-8", cFormats, true, "ID DESC", false, "Numbered"},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.name);
        const QByteArray expected =
            (t.mark ? bom : QByteArray()) + windowExport(t.codeSet, t.header, t.sort, t.formats, t.table);
        ASSERT_FALSE(expected.isEmpty());
        const VarnexRun run = runVarnex(QStringList{"export", database, t.table} + t.options, folder(), t.locale);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        const QByteArray written = t.options.contains("cli.csv") ? readFile(pathOf("cli.csv")) : run.out;
        ExpectSameBytes(written, expected);
    }
    // The table's non-ASCII text did reach both encodings, as itself and as "?".
    EXPECT_TRUE(runVarnex({"export", database, "Sample"}, folder()).out.contains("Zoë"));
    EXPECT_TRUE(runVarnex({"export", database, "Sample", "--encoding", "locale"}, folder(), c).out.contains("Zo?"));
}

// Files Access made: the same tables as the window lists, each exported to the same bytes.
TEST_F(ExportMatchesWindow, ForEveryTableOfRealAccessFiles)
{
    const QString realData = qEnvironmentVariable("VARNEX_REALDATA");
    if (realData.isEmpty() || !QFile::exists(realData + "/testV2003.mdb"))
        GTEST_SKIP() << "no real Access files here";
    const std::vector<std::pair<QString, QString>> files = {
        {"testV1997.mdb", "Provider=Microsoft.Jet.OLEDB.3.51"},
        {"testV2003.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {"overflowTestV2000.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {"testV2007.accdb", "Provider=Microsoft.ACE.OLEDB.12.0"},
        {"calcFieldTestV2010.accdb", "Provider=Microsoft.ACE.OLEDB.12.0"},
        {"complexDataTestV2010.accdb", "Provider=Microsoft.ACE.OLEDB.12.0"},
    };
    for (const auto& [file, provider] : files) {
        SCOPED_TRACE(file.toStdString());
        const QString database = realData + "/" + file;
        connectTo(database, provider);
        form().refillTableList();
        QByteArray windowList;
        for (int entry = 0; entry < form().tableList->count(); ++entry)
            windowList += form().tableList->itemText(entry).toUtf8() + "\n";
        EXPECT_EQ(runVarnex({"tables", database}, folder()).out, windowList);

        for (const QByteArray& table : windowList.split('\n')) {
            if (table.isEmpty())
                continue;
            SCOPED_TRACE(table.toStdString());
            const VarnexRun run = runVarnex({"export", database, QString::fromUtf8(table)}, folder());
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.err, "");
            form().showTable(QString::fromUtf8(table));
            if (*form().grid->recordset()->recordCount() == 0) {
                // The window has nothing to export; the command line writes the header line alone.
                EXPECT_TRUE(run.out.endsWith("\"\r\n") && run.out.count('\n') == 1) << run.out.constData();
                continue;
            }
            const QByteArray expected = windowExport("UTF-8", true, {}, QLocale::c(), QString::fromUtf8(table));
            EXPECT_EQ(run.out.toStdString(), expected.toStdString());
        }
    }
    // The calculated columns as Access shows their values.
    EXPECT_EQ(runVarnex({"export", realData + "/calcFieldTestV2010.accdb", "Table1", "--no-header"}, folder()).out.toStdString(),
              "1,\"Bruce\",\"Wayne\",\"Wayne, Bruce\",\"Gotham\",12,1000000,83333.3333,True,\"Wayne, Bruce=Wayne, Bruce\","
              "19230.7692307692,1000000,True,50.325,50.325,2583.209,56505085819.42479129657228018\r\n"
              "2,\"Bart\",\"Simpson\",\"Simpson, Bart\",\"Springfield\",13,-1,-0.0833,False,\"Simpson, Bart=Simpson, Bart\","
              "-0.0192307692307692,-1,True,-36.2222,-36.2222,0.003588959,-0.0784734499180612994241100748\r\n"
              "3,\"John\",\"Doe\",\"Doe, John\",\"Nowhere\",9,0,0,False,\"Doe, John=Doe, John\",0,0,True,0.0123,0.0123,0,0\r\n"
              "4,\"Test\",\"User\",\"User, Test\",\"Hockessin\",10,100,8.3333,False,\"User, Test=User, Test\",1.92307692307692,"
              "100,True,102030405060.654321,102030405060.654321,1.27413E-10,0.000000278701928982421698083\r\n");
}

}  // namespace
}  // namespace varnex::test
