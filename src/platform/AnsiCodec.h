#pragma once
// The ANSI code page: the code set of the user's locale. Text leaves the program through
// it (Setup.ini, log lines, CSV lines); characters it cannot represent become "?".

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace varnex {

QByteArray ToAnsi(QStringView text);
// Appends the converted text to out (no allocation of its own for plain ASCII text).
void AppendAnsi(QByteArray& out, QStringView text);
QString FromAnsi(QByteArrayView bytes);
bool AnsiIsUtf8();

// The code set name in use, e.g. "UTF-8", "ISO-8859-1", "ANSI_X3.4-1968".
QByteArray AnsiCodeSet();
// Tests choose a code set (an iconv name); an empty name restores the user's locale.
void SetAnsiCodeSetForTesting(const QByteArray& codeSet);

}  // namespace varnex
