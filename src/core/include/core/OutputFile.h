#pragma once
// A file that output is written to, named by the user. A regular file, or a name that does not
// exist yet, is written under a temporary name in its folder and renamed over the name only once
// complete: an unfinished write leaves neither a partial file nor a damaged older one. Anything
// else that exists under the name (a device such as /dev/null, a FIFO, a terminal) is opened and
// written where it is, never removed or replaced; /dev/stdout, /dev/stderr and /dev/fd/N write
// to that descriptor of this process. A symbolic link is followed to its target, which is the
// file replaced.

#include "core/Error.h"

#include <QByteArray>
#include <QString>

#include <string_view>

#include <sys/types.h>

namespace varnex {

class OutputFile {
public:
    // name: as given (see core/ByteText.h for names that are not UTF-8).
    explicit OutputFile(const QString& name);
    ~OutputFile();  // takes away a temporary file that was not committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Errors describe themselves as "Could not create 'NAME': <cause>".
    Status open();
    // Every byte, or "Could not write 'NAME': <cause>".
    Status write(std::string_view bytes);
    // Puts the written file in place of the name (or, in place, closes it).
    Status commit();

private:
    Status openInPlace(const QByteArray& target);
    Status openReplacement(const QByteArray& finalName);
    Error failure(const QString& action, int error) const;
    void discard();
    void startWriteback();

    QString name_;
    QByteArray finalName_;  // the regular file replaced; empty where written in place
    QByteArray temporary_;
    int fd_ = -1;
    off_t written_ = 0;
    off_t handedToDisk_ = 0;  // the bytes before this the disk was asked to write
};

}  // namespace varnex
