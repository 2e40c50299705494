#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace varnex::test {

// Where the build put the programs and where the real Access files are, for test programs
// started by hand as well as by CTest (which may set both itself).
inline void SetTestEnvironmentDefaults()
{
#ifdef VARNEX_TEST_REALDATA
    if (!qEnvironmentVariableIsSet("VARNEX_REALDATA"))
        qputenv("VARNEX_REALDATA", QByteArray(VARNEX_TEST_REALDATA));
#endif
#ifdef VARNEX_TEST_BIN_DIR
    if (!qEnvironmentVariableIsSet("VARNEX_BIN_DIR"))
        qputenv("VARNEX_BIN_DIR", QByteArray(VARNEX_TEST_BIN_DIR));
#endif
}

}  // namespace varnex::test
