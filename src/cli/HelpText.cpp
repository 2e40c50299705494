#include "HelpText.h"

namespace varnex::cli {

QString helpText()
{
    return QStringLiteral(
        "Usage: varnex tables FILE [--all] [--null] [options]\n"
        "       varnex export FILE TABLE [-o OUT] [options]\n"
        "       varnex export-all FILE DIR [options]\n"
        "       varnex convert FILE OUT.sqlite [--tables T1,T2] [--replace] [options]\n"
        "       varnex schema FILE [--dialect sqlite|postgresql] [--tables T1,T2] [options]\n"
        "       varnex [--help | --version]\n"
        "       varnex [FILE]      (the window)\n"
        "\n"
        "Lists and exports the tables of a Microsoft Access database (.mdb, .accdb), or\n"
        "converts it into a SQLite database, without a window.\n"
        "\n"
        "Commands:\n"
        "  tables FILE            the user tables, one name a line, in the order of the\n"
        "                         window's table list; control characters and \\ are\n"
        "                         escaped as C writes them (\\n, \\t, \\\\, \\x1b)\n"
        "  export FILE TABLE      the table as CSV on standard output, or in OUT\n"
        "  export-all FILE DIR    every user table as DIR/<table>.csv, one line a table\n"
        "  convert FILE OUT       every user table, with its indexes and relationships,\n"
        "                         into the new SQLite database OUT, one line a table\n"
        "  schema FILE            the tables, indexes and relationships as SQL\n"
        "\n"
        "Options:\n"
        "  --all                  (tables) system tables too, each with its type\n"
        "  --null                 (tables) each name as it is, ended by a NUL byte\n"
        "  -o, --output OUT       (export) write OUT instead of standard output; a device\n"
        "                         or a FIFO is written where it is\n"
        "  --header, --no-header  a first line with the column names, or none (default: header)\n"
        "  --sort \"COL [ASC|DESC], ...\"\n"
        "                         (export) the order of the records (default: as stored)\n"
        "  --encoding utf-8|locale\n"
        "                         the bytes: UTF-8 (default) or the locale's code set, as the\n"
        "                         window writes them\n"
        "  --bom                  start with a UTF-8 byte-order mark\n"
        "  --tables T1,T2         (convert, schema) only these tables; \\, is a comma in a\n"
        "                         name, \\\\ a backslash\n"
        "  --replace              (convert) replace OUT where it exists\n"
        "  --dialect sqlite|postgresql\n"
        "                         (schema) the SQL dialect (default: sqlite)\n"
        "  --user NAME            the account (default: Admin)\n"
        "  --password-file PWFILE the database password: the first line of PWFILE\n"
        "  --password TEXT        the database password (visible to other users)\n"
        "  --strict               what cannot be read exactly (a column of an unsupported\n"
        "                         type, damaged values, rows or table list entries) fails\n"
        "                         the command and writes nothing, instead of a warning\n"
        "  -h, --help             this text\n"
        "  --version              the version\n"
        "\n"
        "Environment:\n"
        "  VARNEX_PASSWORD        the database password where no option gives one\n"
        "\n"
        "A database with a password and none given asks for it where standard input is a\n"
        "terminal. A password given for a database without one is ignored.\n"
        "\n"
        "Each value that cannot be read exactly is left empty and named in a warning on\n"
        "standard error: varnex: warning: FILE: table 'T': column 'C': cause\n"
        "\n"
        "Exit status: 0 done (also with warnings), 1 an error (one line on standard error),\n"
        "2 a usage error.\n"
        "See varnex(1).\n");
}

QString versionText()
{
    return QStringLiteral("varnex %1\n").arg(QStringLiteral(VARNEX_VERSION));
}

}  // namespace varnex::cli
