#!/usr/bin/env python3
"""The layer check on a copy of the sources, passing as they are and failing, with the line that
names it, on each way an include or a link can point the wrong way.

    CheckLayersTest.py ROOT
"""

import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(sys.argv.pop(1) if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[2])
FOLDERS = ["src", "tests", "tools", "fuzz", "bench", "scripts"]

# (what is tried, file, text added to it, the line the check prints)
CASES = [
    ("a quoted include up the layers", "src/core/Log.cpp", '#include "shell/MainWindow.h"\n',
     "src/core/Log.cpp: includes \"shell/MainWindow.h\" of layer 'shell', which layer 'core' may not use"),
    ("an include in angle brackets", "src/core/Log.cpp", "#include <shell/MainWindow.h>\n",
     "src/core/Log.cpp: includes \"shell/MainWindow.h\" of layer 'shell', which layer 'core' may not use"),
    ("a path relative to the file", "src/core/Log.cpp", '#include "../shell/include/shell/DataGrid.h"\n',
     "src/core/Log.cpp: includes \"../shell/include/shell/DataGrid.h\" of layer 'shell', which layer 'core' may not use"),
    ("a private file of a layer below", "src/cli/Arguments.cpp", '#include "../store/TableData.cpp"\n',
     "src/cli/Arguments.cpp: includes \"../store/TableData.cpp\", a private file of layer 'store'"),
    ("crypto above the store", "src/reader/Extra.cpp", '#include "crypto/PageCipher.h"\n',
     "src/reader/Extra.cpp: includes \"crypto/PageCipher.h\" of layer 'crypto', which layer 'reader' may not use"),
    ("crypto in a public header of the store", "src/store/include/store/Extra.h", '#include "crypto/PageCipher.h"\n',
     "src/store/include/store/Extra.h: a public header includes \"crypto/PageCipher.h\" of layer 'crypto', "
     "which layer 'store' uses privately"),
    ("crypto linked publicly by the store", "src/store/CMakeLists.txt",
     "target_link_libraries(varnex_store PUBLIC varnex_crypto)\n",
     "src/store/CMakeLists.txt: varnex_store links varnex_crypto PUBLIC, but layer 'store' uses layer 'crypto' privately"),
    ("a .hpp header", "src/crypto/Extra.hpp", '#include "data/Recordset.h"\n',
     "src/crypto/Extra.hpp: includes \"data/Recordset.h\" of layer 'data', which layer 'crypto' may not use"),
    ("an .inl file", "src/store/Extra.inl", "#include <export/CsvWriter.h>\n",
     "src/store/Extra.inl: includes \"export/CsvWriter.h\" of layer 'export', which layer 'store' may not use"),
    ("a test of a layer", "tests/core/LogTest.cpp", '#include "data/Recordset.h"\n',
     "tests/core/LogTest.cpp: includes \"data/Recordset.h\" of layer 'data', which folder 'tests/core' may not use"),
    ("the writer", "tools/jetwriter/Extra.cpp", '#include "data/Recordset.h"\n',
     "tools/jetwriter/Extra.cpp: includes \"data/Recordset.h\" of layer 'data', which layer 'tools' may not use"),
    ("a fuzzer", "fuzz/Extra.cpp", '#include "shell/MainWindow.h"\n',
     "fuzz/Extra.cpp: includes \"shell/MainWindow.h\" of layer 'shell', which folder 'fuzz' may not use"),
    ("a benchmark", "bench/Extra.cpp", '#include "support/TempDir.h"\n',
     "bench/Extra.cpp: includes \"support/TempDir.h\" of layer 'testsupport', which folder 'bench' may not use"),
    ("the program in the layers", "src/core/Extra.cpp", '#include "jetwriter/JetWriter.h"\n',
     "src/core/Extra.cpp: includes \"jetwriter/JetWriter.h\" of layer 'tools', which layer 'core' may not use"),
    ("a link up the layers", "src/core/CMakeLists.txt", "target_link_libraries(varnex_core PRIVATE varnex_shell)\n",
     "src/core/CMakeLists.txt: varnex_core links varnex_shell of layer 'shell', which layer 'core' may not use"),
    ("a link of a test", "tests/crypto/CMakeLists.txt", "target_link_libraries(crypto_tests PRIVATE\n  varnex_data)\n",
     "tests/crypto/CMakeLists.txt: crypto_tests links varnex_data of layer 'data', which folder 'tests/crypto' may not use"),
    ("widgets below the window", "src/export/CMakeLists.txt", "target_link_libraries(varnex_export PRIVATE Qt6::Widgets)\n",
     "src/export/CMakeLists.txt: varnex_export links Qt6::Widgets, which only the window's layers may use"),
]


def run_check(root):
    done = subprocess.run([sys.executable, str(root / "scripts/check-layers.py"), str(root)],
                          capture_output=True, text=True, check=False)
    return done.returncode, done.stdout.splitlines()


class CheckLayersTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        cls.root = pathlib.Path(cls.work.name)
        for folder in FOLDERS:
            shutil.copytree(ROOT / folder, cls.root / folder, ignore=shutil.ignore_patterns("build*", "*.o"))

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def test_passes_on_the_sources_as_they_are(self):
        self.assertEqual(run_check(self.root), (0, ["every include and link points down the layers"]))

    def test_fails_on_each_way_of_pointing_the_wrong_way(self):
        for name, file, added, expected in CASES:
            with self.subTest(name):
                path = self.root / file
                before = path.read_bytes() if path.exists() else None
                path.write_bytes((before or b"") + added.encode())
                try:
                    self.assertEqual(run_check(self.root), (1, [expected, "1 include(s) or link(s) point the wrong way"]))
                finally:
                    if before is None:
                        path.unlink()
                    else:
                        path.write_bytes(before)


if __name__ == "__main__":
    unittest.main()
