#pragma once
// The words of a command line, read into what was asked for.

#include "core/Error.h"
#include "export/CsvWriter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace varnex::cli {

enum class Command { Tables, Export, ExportAll, Help, Version };

struct Invocation {
    Command command = Command::Help;
    QString database;
    QString table;   // export
    QString output;  // export: empty or "-" for standard output
    QString folder;  // export-all
    bool allTables = false;
    bool header = true;
    QString sort;
    CsvEncoding encoding = CsvEncoding::Utf8;
    bool byteOrderMark = false;
    QString user;
    std::optional<QString> password;
    bool strict = false;  // what could not be read fails the command instead of a warning
};

// True for the first word of a command line that this layer answers.
bool isCommandWord(const QString& word);

// The arguments after the program name. A usage error is BadArguments with a
// description of one line.
Result<Invocation> parseArguments(const QStringList& arguments);

// The writer's options the invocation asks for.
CsvOptions csvOptions(const Invocation& invocation);

}  // namespace varnex::cli
