#pragma once
// The words of a command line, read into what was asked for. The words come as core/ByteText.h
// makes them of argv: file names keep their bytes; a text (a table's or a column's name, a
// password) that is not UTF-8 is a usage error.

#include "core/Error.h"
#include "export/CsvWriter.h"
#include "export/SqlSchema.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace varnex::cli {

enum class Command { Tables, Export, ExportAll, Convert, Schema, Help, Version };

struct Invocation {
    Command command = Command::Help;
    QString database;
    QString table;   // export
    QString output;  // export: empty or "-" for standard output; convert: the SQLite file
    QString folder;  // export-all
    bool allTables = false;
    bool nulSeparated = false;  // tables: each name ends in NUL rather than a line end
    bool header = true;
    QString sort;
    CsvEncoding encoding = CsvEncoding::Utf8;
    bool byteOrderMark = false;
    QString user;
    std::optional<QString> password;      // --password
    std::optional<QString> passwordFile;  // --password-file
    bool strict = false;  // what could not be read fails the command instead of a warning
    QStringList tables;   // convert, schema: only these tables (--tables)
    bool replace = false; // convert: replace an existing output file
    SqlDialect dialect = SqlDialect::Sqlite;  // schema
};

// True for the first word of a command line that this layer answers.
bool isCommandWord(const QString& word);

// The arguments after the program name. A usage error is BadArguments with a
// description of one line.
Result<Invocation> parseArguments(const QStringList& arguments);

// The writer's options the invocation asks for.
CsvOptions csvOptions(const Invocation& invocation);

}  // namespace varnex::cli
