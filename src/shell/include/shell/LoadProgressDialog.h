#pragma once
// Progress of a table load. Nothing shows for a quick load; once a load has
// run for the delay, a modal dialog with a Cancel button appears and follows
// the rows read. The callback, which the read calls every few dozen
// milliseconds even while the reader is silent, keeps the window painted.

#include "data/Recordset.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace varnex {

class LoadProgressDialog {
public:
    LoadProgressDialog(QWidget* owner, QString tableName, int delayMs);
    ~LoadProgressDialog();
    LoadProgressDialog(const LoadProgressDialog&) = delete;
    LoadProgressDialog& operator=(const LoadProgressDialog&) = delete;

    // The callback for Recordset::Open; it returns false once the user cancelled.
    LoadProgress callback();

    bool cancelled() const { return cancelled_; }
    bool shown() const { return shownOnce_; }

private:
    bool update(int64_t rowsRead, int64_t rowCount);
    void showDialog();

    QWidget* owner_;
    QString tableName_;
    int delayMs_;
    QElapsedTimer elapsed_;
    std::unique_ptr<QProgressDialog> dialog_;
    qint64 lastRepaintMs_ = -1;
    bool cancelled_ = false;
    bool shownOnce_ = false;
};

}  // namespace varnex
