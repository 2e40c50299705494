#pragma once
// File names (and other arguments) are bytes, which need not be UTF-8. A QString carries them
// without loss: valid UTF-8 decodes to its characters, and each byte that is not part of a valid
// sequence becomes the lone surrogate U+DC00 + byte, which no valid UTF-8 yields. Encoding gives
// the same bytes back, so a name read from argv reaches open(2) exactly as it was given. For
// text that is valid UTF-8 both are the same as QString::fromUtf8 and toUtf8.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace varnex {

QString bytesToText(QByteArrayView bytes);
QByteArray textToBytes(QStringView text);

// True where the text holds a byte that was not UTF-8 (an argument that cannot be a table name).
bool holdsRawBytes(QStringView text);

}  // namespace varnex
