// varnex started with standard input, output or error closed (as `>&-` leaves them): the
// output meant for a closed stream is never taken for written, nor lands anywhere else.

#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace varnex::test {
namespace {

TEST(ClosedStreams, OutputToAClosedStreamFailsAndNothingLandsElsewhere)
{
    TempDir work;
    // "Orders1\n" is as long as what the event descriptor of a library takes (8 bytes), which
    // once made a write to that descriptor look like success.
    WriteDatabase(work.file("db.mdb"), {NameTable("Orders1", {"a"})});
    const QByteArray closedOutput = "varnex: standard output: Bad file descriptor\n";
    const std::vector<ShellCase> cases = {
        {R"("$VARNEX" tables db.mdb >&-)", 1, "", closedOutput},
        {R"("$VARNEX" --version >&-)", 1, "", closedOutput},
        {R"("$VARNEX" export db.mdb Orders1 >&-)", 1, "", closedOutput},
        {R"("$VARNEX" export db.mdb Orders1 -o - <&- >&-)", 1, "", closedOutput},
        {R"("$VARNEX" export db.mdb Orders1 -o /dev/stdout >&-)", 1, "",
         "varnex: db.mdb: table 'Orders1': Could not write '/dev/stdout': Bad file descriptor\n"},
        {R"("$VARNEX" tables db.mdb <&-)", 0, "Orders1\n", ""},
        {R"("$VARNEX" tables db.mdb 2>&-)", 0, "Orders1\n", ""},
        // The message has nowhere to go, and goes nowhere else.
        {R"("$VARNEX" tables missing.mdb 2>&-)", 1, "", ""},
        {R"("$VARNEX" export db.mdb Orders1 -o out.csv <&- >&- 2>&-; echo "$?"; cat out.csv)", 0,
         "0\n\"Name\"\r\n\"a\"\r\n", ""},
    };
    expectShellCases(cases, work.path());
}

}  // namespace
}  // namespace varnex::test
