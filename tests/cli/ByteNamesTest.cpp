// File names that are not UTF-8 reach the file system and the messages byte for byte; a text
// argument that is not UTF-8 is a usage error.

#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace varnex::test {
namespace {

TEST(ByteNames, FileNamesKeepTheirBytesAndTextMustBeUtf8)
{
    TempDir work;
    WriteDatabase(work.file("db.mdb"), {NameTable("Orders", {"a", "b"})});
    // bash writes the names with $'...'; the database is copied to a name with a byte that is not UTF-8.
    const QString copies = R"(cp db.mdb $'db\xff.mdb' && cp db.mdb $'cut\xff.mdb' && truncate -s 8192 $'cut\xff.mdb')";
    const QByteArray csv = "\"Name\"\r\n\"a\"\r\n\"b\"\r\n";
    const std::vector<ShellCase> cases = {
        {R"("$VARNEX" tables $'db\xff.mdb')", 0, "Orders\n", ""},
        {R"("$VARNEX" export $'db\xff.mdb' Orders -o $'out\xfe.csv' && printf '%s\n' out* && cat $'out\xfe.csv')", 0,
         "out\xfe.csv\n" + csv, ""},
        {R"("$VARNEX" export-all $'db\xff.mdb' $'dir\xfd/sub' && cat $'dir\xfd/sub/Orders.csv')", 0,
         "Orders -> dir\xfd/sub/Orders.csv (2 rows)\n" + csv, ""},
        {R"("$VARNEX" tables $'missing\xff.mdb')", 1, "",
         "varnex: missing\xff.mdb: Could not find file 'missing\xff.mdb'.\n"},
        // The reader's message comes back from its process with the name whole.
        {R"("$VARNEX" export $'cut\xff.mdb' Orders)", 1, "",
         "varnex: cut\xff.mdb: table 'Orders': Unrecognized database format 'cut\xff.mdb'.\n"},
        {R"("$VARNEX" export db.mdb Orders -o $'nowhere\xff/out.csv')", 1, "",
         "varnex: db.mdb: table 'Orders': Could not create 'nowhere\xff/out.csv': No such file or directory\n"},
        {R"("$VARNEX" export db.mdb $'Orders\xff')", 2, "",
         "varnex: the table name is not valid UTF-8 (see varnex --help)\n"},
        {R"("$VARNEX" export db.mdb Orders --sort $'Name\xff')", 2, "",
         "varnex: --sort is not valid UTF-8 (see varnex --help)\n"},
        {R"("$VARNEX" tables db.mdb --password $'\xff')", 2, "",
         "varnex: --password is not valid UTF-8 (see varnex --help)\n"},
        {R"("$VARNEX" $'tab\xffles' db.mdb)", 2, "", "varnex: unknown command 'tab\xffles' (see varnex --help)\n"},
    };
    expectShellCases(cases, work.path(), copies);
}

}  // namespace
}  // namespace varnex::test
