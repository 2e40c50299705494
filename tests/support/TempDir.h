#pragma once

#include <QString>
#include <QTemporaryDir>

namespace varnex::test {

// A fresh folder removed at the end of the test.
class TempDir {
public:
    TempDir() { dir_.setAutoRemove(true); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

}  // namespace varnex::test
