#pragma once
// The code set of the user's locale: text leaves the program in it (Setup.ini, log
// lines, CSV lines); characters it cannot represent become "?".

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace varnex {

QByteArray toLocaleBytes(QStringView text);
// Appends the converted text to out (no allocation of its own for plain ASCII text).
void appendLocaleBytes(QByteArray& out, QStringView text);
QString fromLocaleBytes(QByteArrayView bytes);
bool localeIsUtf8();

// The code set name in use, e.g. "UTF-8", "ISO-8859-1", "ANSI_X3.4-1968".
QByteArray localeCodeSet();
// Tests choose a code set (an iconv name); an empty name restores the user's locale.
void setLocaleCodeSetForTesting(const QByteArray& codeSet);

}  // namespace varnex
