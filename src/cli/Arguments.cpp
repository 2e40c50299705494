#include "Arguments.h"

#include "core/ByteText.h"
#include "core/LocaleCodec.h"
#include "data/SortOrder.h"

namespace varnex::cli {
namespace {

enum CommandBit : unsigned {
    kTables = 1, kExport = 2, kExportAll = 4, kConvert = 8, kSchema = 16,
    kExports = kExport | kExportAll,
    kReading = kTables | kExports | kConvert | kSchema,  // every command that opens a database
};

struct CommandSpec {
    QLatin1StringView word;
    Command command;
    unsigned bit;
    const char* operands;  // as the usage line names them
};

constexpr CommandSpec kCommands[] = {
    {QLatin1StringView("tables"), Command::Tables, kTables, "FILE"},
    {QLatin1StringView("export"), Command::Export, kExport, "FILE TABLE"},
    {QLatin1StringView("export-all"), Command::ExportAll, kExportAll, "FILE DIR"},
    {QLatin1StringView("convert"), Command::Convert, kConvert, "FILE OUT"},
    {QLatin1StringView("schema"), Command::Schema, kSchema, "FILE"},
};

// Applies an option to the invocation; returns what is wrong with its value, or nothing.
using Apply = QString (*)(Invocation&, const QString& value);

struct OptionSpec {
    QLatin1StringView name;  // without the two dashes
    char shortName;          // 0: none
    unsigned commands;
    bool takesValue;
    Apply apply;
};

QString applyEncoding(Invocation& invocation, const QString& value)
{
    const QString name = value.toLower();
    if (name == u"utf-8" || name == u"utf8")
        invocation.encoding = CsvEncoding::Utf8;
    else if (name == u"locale")
        invocation.encoding = CsvEncoding::LocaleCodeSet;
    else
        return QStringLiteral("--encoding takes utf-8 or locale, not '%1'").arg(value);
    return {};
}

// "A,B\,C" -> A and "B,C": names split at commas, a backslash taking the character after it as it is.
QString applyTables(Invocation& invocation, const QString& value)
{
    QString name;
    bool escaped = false;
    for (const QChar c : value) {
        if (escaped || (c != u'\\' && c != u',')) {
            name += c;
            escaped = false;
        } else if (c == u'\\') {
            escaped = true;
        } else {
            invocation.tables << name;
            name.clear();
        }
    }
    invocation.tables << name;
    if (invocation.tables.contains(QString()))
        return QStringLiteral("--tables takes table names separated by commas, none of them empty");
    return {};
}

QString applyDialect(Invocation& invocation, const QString& value)
{
    const QString name = value.toLower();
    if (name == u"sqlite")
        invocation.dialect = SqlDialect::Sqlite;
    else if (name == u"postgresql")
        invocation.dialect = SqlDialect::PostgreSql;
    else
        return QStringLiteral("--dialect takes sqlite or postgresql, not '%1'").arg(value);
    return {};
}

const OptionSpec kOptions[] = {
    {QLatin1StringView("all"), 0, kTables, false,
     [](Invocation& i, const QString&) { i.allTables = true; return QString(); }},
    {QLatin1StringView("null"), 0, kTables, false,
     [](Invocation& i, const QString&) { i.nulSeparated = true; return QString(); }},
    {QLatin1StringView("output"), 'o', kExport, true,
     [](Invocation& i, const QString& v) {
         i.output = v;
         return v.isEmpty() ? QStringLiteral("--output needs a file name") : QString();
     }},
    {QLatin1StringView("header"), 0, kExports, false,
     [](Invocation& i, const QString&) { i.header = true; return QString(); }},
    {QLatin1StringView("no-header"), 0, kExports, false,
     [](Invocation& i, const QString&) { i.header = false; return QString(); }},
    {QLatin1StringView("sort"), 0, kExport, true,
     [](Invocation& i, const QString& v) {
         i.sort = v;
         return sortColumnNames(v) ? QString() : QStringLiteral("--sort takes \"COLUMN [ASC|DESC], ...\", not '%1'").arg(v);
     }},
    {QLatin1StringView("encoding"), 0, kExports, true, applyEncoding},
    {QLatin1StringView("bom"), 0, kExports, false,
     [](Invocation& i, const QString&) { i.byteOrderMark = true; return QString(); }},
    {QLatin1StringView("user"), 0, kReading, true,
     [](Invocation& i, const QString& v) { i.user = v; return QString(); }},
    {QLatin1StringView("password"), 0, kReading, true,
     [](Invocation& i, const QString& v) { i.password = v; return QString(); }},
    {QLatin1StringView("password-file"), 0, kReading, true,
     [](Invocation& i, const QString& v) {
         i.passwordFile = v;
         return v.isEmpty() ? QStringLiteral("--password-file needs a file name") : QString();
     }},
    {QLatin1StringView("strict"), 0, kReading, false,
     [](Invocation& i, const QString&) { i.strict = true; return QString(); }},
    {QLatin1StringView("tables"), 0, kConvert | kSchema, true, applyTables},
    {QLatin1StringView("replace"), 0, kConvert, false,
     [](Invocation& i, const QString&) { i.replace = true; return QString(); }},
    {QLatin1StringView("dialect"), 0, kSchema, true, applyDialect},
};

const CommandSpec* commandNamed(const QString& word)
{
    for (const CommandSpec& spec : kCommands) {
        if (word == spec.word)
            return &spec;
    }
    return nullptr;
}

bool isHelpWord(const QString& word)
{
    return word == u"--help" || word == u"-h";
}

Error usage(const QString& problem)
{
    return Error{ErrorCode::BadArguments, problem};
}

// Finds the option an argument names ("--name", "--name=value", "-o", "-oVALUE");
// inline is set to the value given with it, if any.
const OptionSpec* optionNamed(const QString& argument, std::optional<QString>& inlineValue)
{
    if (argument.startsWith(u"--")) {
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        if (equals >= 0)
            inlineValue = argument.mid(equals + 1);
        for (const OptionSpec& option : kOptions) {
            if (name == option.name)
                return &option;
        }
        return nullptr;
    }
    for (const OptionSpec& option : kOptions) {
        if (option.shortName != 0 && argument.at(1) == QLatin1Char(option.shortName)) {
            if (argument.size() > 2)
                inlineValue = argument.mid(2);
            return &option;
        }
    }
    return nullptr;
}

Status checkOperands(const CommandSpec& command, const QStringList& operands, Invocation& invocation)
{
    const qsizetype wanted = command.command == Command::Tables || command.command == Command::Schema ? 1 : 2;
    if (operands.size() < wanted)
        return usage(QStringLiteral("%1 needs %2").arg(command.word, QLatin1StringView(command.operands)));
    if (operands.size() > wanted)
        return usage(QStringLiteral("%1 takes %2; '%3' is one too many")
                         .arg(command.word, QLatin1StringView(command.operands), operands[wanted]));
    invocation.database = operands[0];
    if (command.command == Command::Export)
        invocation.table = operands[1];
    else if (command.command == Command::ExportAll)
        invocation.folder = operands[1];
    else if (command.command == Command::Convert)
        invocation.output = operands[1];
    if (invocation.database.isEmpty())
        return usage(QStringLiteral("the database file name is empty"));
    if (command.command == Command::Convert && invocation.output.isEmpty())
        return usage(QStringLiteral("the output file name is empty"));
    if (command.command == Command::ExportAll && invocation.folder.isEmpty())
        return usage(QStringLiteral("the folder name is empty"));
    return {};
}

// Names and passwords are compared as text; bytes that are no UTF-8 could not match anything.
Status checkTexts(const Invocation& invocation)
{
    const std::pair<const char*, QString> texts[] = {{"the table name", invocation.table},
                                                     {"--sort", invocation.sort},
                                                     {"--user", invocation.user},
                                                     {"--password", invocation.password.value_or(QString())}};
    for (const auto& [what, text] : texts) {
        if (holdsRawBytes(text))
            return usage(QStringLiteral("%1 is not valid UTF-8").arg(QLatin1StringView(what)));
    }
    for (const QString& table : invocation.tables) {
        if (holdsRawBytes(table))
            return usage(QStringLiteral("--tables is not valid UTF-8"));
    }
    if (invocation.password && invocation.passwordFile)
        return usage(QStringLiteral("give --password or --password-file, not both"));
    return {};
}

}  // namespace

bool isCommandWord(const QString& word)
{
    return commandNamed(word) || isHelpWord(word) || word == u"--version";
}

Result<Invocation> parseArguments(const QStringList& arguments)
{
    Invocation invocation;
    const QString first = arguments.value(0);
    if (isHelpWord(first) || (first == u"--version" && arguments.size() == 1)) {
        invocation.command = isHelpWord(first) ? Command::Help : Command::Version;
        return invocation;
    }
    const CommandSpec* command = commandNamed(first);
    if (!command)
        return usage(QStringLiteral("unknown command '%1'").arg(first));
    invocation.command = command->command;

    QStringList operands;
    bool optionsEnded = false;
    for (qsizetype at = 1; at < arguments.size(); ++at) {
        const QString& argument = arguments[at];
        if (optionsEnded || argument.size() < 2 || !argument.startsWith(u'-')) {
            operands << argument;
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        if (isHelpWord(argument)) {
            invocation.command = Command::Help;
            return invocation;
        }
        std::optional<QString> value;
        const OptionSpec* option = optionNamed(argument, value);
        if (!option || !(option->commands & command->bit))
            return usage(QStringLiteral("%1 has no option '%2'").arg(command->word, argument));
        if (!option->takesValue && value)
            return usage(QStringLiteral("--%1 takes no value").arg(option->name));
        if (option->takesValue && !value) {
            if (++at == arguments.size())
                return usage(QStringLiteral("'%1' needs a value").arg(argument));
            value = arguments[at];
        }
        if (const QString problem = option->apply(invocation, value.value_or(QString())); !problem.isEmpty())
            return usage(problem);
    }
    if (Status operandsOk = checkOperands(*command, operands, invocation); !operandsOk)
        return operandsOk.error();
    if (Status textsOk = checkTexts(invocation); !textsOk)
        return textsOk.error();
    if (invocation.byteOrderMark && invocation.encoding == CsvEncoding::LocaleCodeSet && !localeIsUtf8())
        return usage(QStringLiteral("--bom needs UTF-8 output; the locale's code set is %1")
                         .arg(QString::fromLatin1(localeCodeSet())));
    return invocation;
}

CsvOptions csvOptions(const Invocation& invocation)
{
    return CsvOptions{
        .includeHeader = invocation.header, .encoding = invocation.encoding, .byteOrderMark = invocation.byteOrderMark};
}

}  // namespace varnex::cli
