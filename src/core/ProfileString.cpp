#include "core/ProfileString.h"

#include "core/FileReplacement.h"
#include "core/LocaleCodec.h"

#include <QFile>
#include <QList>

#include <optional>

namespace varnex {
namespace {

constexpr qsizetype kMaxValueUnits = 1023;

// One physical line: its bytes without the terminator, and the terminator ("\r\n", "\n" or
// nothing for a last line without one).
struct RawLine {
    QByteArray text;
    QByteArray end;
};

QList<RawLine> splitLines(const QByteArray& bytes)
{
    QList<RawLine> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        if (nl < 0) {
            lines.append({bytes.mid(start), {}});
            break;
        }
        qsizetype textEnd = nl;
        if (textEnd > start && bytes[textEnd - 1] == '\r')
            --textEnd;
        lines.append({bytes.mid(start, textEnd - start), bytes.mid(textEnd, nl + 1 - textEnd)});
        start = nl + 1;
    }
    return lines;
}

// What a line means to the profile functions.
struct ParsedLine {
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    QString name;   // section or key name, trimmed
    QString value;  // entry value, trimmed
};

ParsedLine parse(const QByteArray& raw)
{
    const QString line = fromLocaleBytes(raw).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
        return {};
    if (line.startsWith(QLatin1Char('['))) {
        const qsizetype close = line.indexOf(QLatin1Char(']'));
        return {ParsedLine::Kind::Section, line.mid(1, close < 0 ? -1 : close - 1).trimmed(), {}};
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {ParsedLine::Kind::Entry, line, {}};
    return {ParsedLine::Kind::Entry, line.left(eq).trimmed(), line.mid(eq + 1).trimmed()};
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

QString withoutEnclosingQuotes(const QString& value)
{
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        return value.mid(1, value.size() - 2);
    return value;
}

// Cuts to the reader's capacity, never in the middle of a UTF-8 character.
QString capped(const QString& value)
{
    QByteArray bytes = toLocaleBytes(value);
    if (bytes.size() <= kMaxValueUnits)
        return value;
    bytes.truncate(kMaxValueUnits);
    if (localeIsUtf8()) {
        qsizetype end = bytes.size();
        qsizetype lead = end - 1;
        while (lead > 0 && (static_cast<unsigned char>(bytes[lead]) & 0xC0) == 0x80)
            --lead;
        const unsigned char c = static_cast<unsigned char>(bytes[lead]);
        const qsizetype need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (lead + need > end)
            bytes.truncate(lead);
    }
    return fromLocaleBytes(bytes);
}

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// The file's bytes, without a UTF-8 byte order mark (bom tells whether there was one).
std::optional<QByteArray> readFile(const QString& path, bool* bom = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    const bool hasBom = bytes.startsWith(kUtf8Bom);
    if (hasBom)
        bytes.remove(0, kUtf8Bom.size());
    if (bom)
        *bom = hasBom;
    return bytes;
}

// Index range [begin, end) of the lines that belong to the first section named section.
std::optional<std::pair<qsizetype, qsizetype>> findSection(const QList<RawLine>& lines, const QString& section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ParsedLine header = parse(lines[i].text);
        if (header.kind != ParsedLine::Kind::Section || !sameName(header.name, section))
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && parse(lines[end].text).kind != ParsedLine::Kind::Section)
            ++end;
        return std::pair{i + 1, end};
    }
    return std::nullopt;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

QByteArray joined(const QList<RawLine>& lines, bool bom)
{
    QByteArray out = bom ? kUtf8Bom : QByteArray();
    for (const RawLine& line : lines)
        out += line.text + line.end;
    return out;
}

// The file may hold a password: a new one is private to the user.
bool writeFile(const QString& path, const QByteArray& bytes)
{
    return replaceFileContents(path, bytes, 0600);
}

}  // namespace

QString readProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                const QString& file)
{
    QString fallback = defaultValue;
    while (fallback.endsWith(QLatin1Char(' ')))
        fallback.chop(1);
    const std::optional<QByteArray> bytes = readFile(file);
    if (!bytes)
        return capped(fallback);
    const QList<RawLine> lines = splitLines(*bytes);
    const auto range = findSection(lines, section);
    if (!range)
        return capped(fallback);
    for (qsizetype i = range->first; i < range->second; ++i) {
        const ParsedLine entry = parse(lines[i].text);
        if (entry.kind == ParsedLine::Kind::Entry && sameName(entry.name, key))
            return capped(withoutEnclosingQuotes(entry.value));
    }
    return capped(fallback);
}

bool writeProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& file)
{
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty() || hasLineBreak(section) || hasLineBreak(key)
        || hasLineBreak(value))
        return false;
    bool bom = false;
    QList<RawLine> lines = splitLines(readFile(file, &bom).value_or(QByteArray()));
    const QByteArray crlf("\r\n");
    const auto range = findSection(lines, section);

    if (!range) {
        if (!lines.isEmpty() && lines.back().end.isEmpty())
            lines.back().end = crlf;
        if (!lines.isEmpty() && !lines.back().text.trimmed().isEmpty())
            lines.append({{}, crlf});
        lines.append({toLocaleBytes(QLatin1Char('[') + section.trimmed() + QLatin1Char(']')), crlf});
        lines.append({toLocaleBytes(key.trimmed() + QLatin1Char('=') + value), crlf});
        return writeFile(file, joined(lines, bom));
    }

    qsizetype lastContent = range->first - 1;  // the header when the section is empty
    for (qsizetype i = range->first; i < range->second; ++i) {
        const ParsedLine entry = parse(lines[i].text);
        if (entry.kind == ParsedLine::Kind::Entry && sameName(entry.name, key)) {
            lines[i].text = toLocaleBytes(entry.name + QLatin1Char('=') + value);
            return writeFile(file, joined(lines, bom));
        }
        if (!lines[i].text.trimmed().isEmpty())
            lastContent = i;
    }
    if (lines[lastContent].end.isEmpty())
        lines[lastContent].end = crlf;
    lines.insert(lastContent + 1, {toLocaleBytes(key.trimmed() + QLatin1Char('=') + value), crlf});
    return writeFile(file, joined(lines, bom));
}

}  // namespace varnex
