// varnex-mkdb: writes Access databases from a text description, as synthetic benchmark tables, or the demo.

#include "jetwriter/DemoDatabase.h"
#include "jetwriter/Description.h"
#include "jetwriter/Generator.h"

#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  varnex-mkdb describe DESCRIPTION.txt OUT.mdb\n"
    "  varnex-mkdb generate [--rows N] [--seed S] [--format jet3|jet4|ace2007|ace2010] [--table NAME]\n"
    "                       [--shape mixed|memo-date] [--password PW [--encryption agile|rc4]] OUT.mdb\n"
    "  varnex-mkdb demo OUT.mdb\n";

constexpr double kBenchmarkCreated = 43831.0;  // 2020-01-01

int describe(const std::string& input, const std::string& output)
{
    std::ifstream in(input, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + input);
    jetwriter::writeDatabase(jetwriter::parseDescription(in), output);
    return 0;
}

int generate(int argc, char** argv)
{
    uint64_t rows = 1000000;
    uint64_t seed = 1;
    std::string table = "Bench";
    std::string shape = "mixed";
    std::string output;
    jetwriter::Database database;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--rows" && hasValue) rows = std::stoull(argv[++i]);
        else if (arg == "--seed" && hasValue) seed = std::stoull(argv[++i]);
        else if (arg == "--table" && hasValue) table = argv[++i];
        else if (arg == "--shape" && hasValue) shape = argv[++i];
        else if (arg == "--format" && hasValue) database.format = jetwriter::parseFormat(argv[++i]);
        else if (arg == "--password" && hasValue) database.password = argv[++i];
        else if (arg == "--encryption" && hasValue) {
            const std::string method = argv[++i];
            if (method != "agile" && method != "rc4")
                throw std::runtime_error("encryption must be agile or rc4");
            database.encryption = method == "agile" ? jetwriter::Encryption::Agile : jetwriter::Encryption::Rc4CryptoApi;
        } else if (output.empty() && arg.rfind("--", 0) != 0) output = arg;
        else throw std::runtime_error("unexpected argument: " + arg);
    }
    if (output.empty())
        throw std::runtime_error("no output file");
    database.created = kBenchmarkCreated;  // the same seed gives the same file
    if (shape != "mixed" && shape != "memo-date")
        throw std::runtime_error("shape must be mixed or memo-date");
    database.tables.push_back(shape == "mixed" ? jetwriter::syntheticTable(table, rows, seed)
                                               : jetwriter::memoDateTable(table, rows, seed));
    jetwriter::writeDatabase(database, output);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "describe" && argc == 4)
            return describe(argv[2], argv[3]);
        if (mode == "generate")
            return generate(argc, argv);
        if (mode == "demo" && argc == 3) {
            jetwriter::writeDatabase(jetwriter::demoDatabase(), argv[2]);
            return 0;
        }
        std::cerr << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "varnex-mkdb: " << e.what() << '\n';
        return 1;
    }
}
