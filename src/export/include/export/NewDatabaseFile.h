#pragma once
// A database file written anew: under a temporary name in the folder of its name, put in place under
// its name only once complete, so that a failure or an interruption leaves neither a partial file
// nor a damaged older one. An existing file of the name is replaced only where asked, and then even
// where it appeared while the new one was written; a symbolic link is followed to the file replaced.
// A database needs a regular file: a device, a FIFO or a folder of the name is an error.

#include "core/Error.h"

#include <QByteArray>
#include <QString>

namespace varnex {

class NewDatabaseFile {
public:
    // name: as given (see core/ByteText.h for names that are not UTF-8).
    NewDatabaseFile(const QString& name, bool replace);
    ~NewDatabaseFile();  // takes away the temporary file that was not put in place
    NewDatabaseFile(const NewDatabaseFile&) = delete;
    NewDatabaseFile& operator=(const NewDatabaseFile&) = delete;

    // Creates the empty temporary file. Errors describe themselves as "Could not create 'NAME': <cause>";
    // an existing file that is not to be replaced is PathFileAccess (and so is one that appears
    // meanwhile, on commit), and nothing else is.
    Status create();
    const QByteArray& temporaryName() const { return temporary_; }
    // Writes the file's bytes to the disk and renames it to its name. Errors: "Could not write 'NAME': <cause>".
    Status commit();

private:
    Error failure(const QString& action, const QString& cause, ErrorCode code) const;

    QString name_;
    bool replace_;
    QByteArray finalName_;
    QByteArray temporary_;
    unsigned existingMode_ = 0;  // the mode of the file replaced; 0: none
};

}  // namespace varnex
