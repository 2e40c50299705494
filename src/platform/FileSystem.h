#pragma once
// Files and folders in the manner of the runtime's file statements.

#include "platform/Error.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdio>
#include <memory>

namespace varnex {

namespace attr {
inline constexpr int vbNormal = 0;     // ordinary files (also read-only ones)
inline constexpr int vbHidden = 2;     // also names beginning with "."
inline constexpr int vbSystem = 4;     // also sockets, devices, pipes
inline constexpr int vbDirectory = 16; // also folders
}  // namespace attr

// The first name matching pattern ("*" and "?" wildcards in the last part), or "" when
// none does or the folder cannot be listed. A pattern ending in "/" lists the folder's
// own entries ("." for the folder itself under vbDirectory).
QString Dir(const QString& pattern, int attributes = attr::vbNormal);

Status MkDir(const QString& path);   // 75 when it exists, 76 when its parent is missing
Status Kill(const QString& path);    // deletes one file; 53 when there is none

// Appends one line (text, CR, LF) through the ANSI code page, creating the file.
Status AppendLine(const QString& path, QStringView text);

// A sequential text file opened for output (truncated) or append; each PrintLine adds the
// text through the ANSI code page followed by CR LF.
class TextFile {
public:
    enum class Mode { Output, Append };

    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile();

    Status Open(const QString& path, Mode mode);
    Status PrintLine(QStringView text);
    // Bytes already in the code page, written as they are (no line end added).
    Status WriteRaw(const QByteArray& bytes);
    Status Close();
    bool isOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
    QByteArray line_;
};

}  // namespace varnex
