#pragma once
// The database file as libmdb is to read it. A file whose pages are stored plain is read where it lies.
// One whose pages are encoded (Jet, under the database key) or encrypted (ACE, under the database
// password) is decoded page by page into an anonymous memory file, never onto a disk, with its first page
// marked plain so that libmdb applies no decoding of its own; libmdb and the checks before it read that
// through /proc/self/fd.

#include "core/Error.h"
#include "store/JetHeader.h"
#include "store/PageDecoder.h"

#include <QString>

#include <functional>

namespace varnex::reader {

class PlainFile {
public:
    // Errors: those of readJetHeader; BadPassword and UnreadableEncryption (see PageDecoder::open);
    // ReadFailed when the pages cannot be read or no memory file can be had. working: called now
    // and then while pages are decoded.
    static Result<PlainFile> open(const QString& path, const QString& password, const std::function<void()>& working = {});

    PlainFile(PlainFile&& other) noexcept;
    PlainFile& operator=(PlainFile&& other) noexcept;
    ~PlainFile();

    // What to read: the file itself, or the memory file of its decoded pages.
    const QString& path() const { return path_; }
    const JetHeader& header() const { return header_; }

private:
    PlainFile() = default;
    Status decode(const QString& original, const PageDecoder& decoder,
                  const std::function<void()>& working);

    QString path_;
    JetHeader header_;
    int memoryFile_ = -1;
};

}  // namespace varnex::reader
