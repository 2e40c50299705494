#pragma once
// Profiles the texts of every row of the grid's recordset in the background
// once it is bound (profileColumnTexts): the filter then passes over columns
// that cannot match, and fixed-size columns widen to their longest text.

#include "data/ColumnTextProfile.h"
#include "shell/BackgroundTask.h"

#include <QObject>

#include <memory>

namespace varnex {

class Recordset;

class GridProfiler : public QObject {
    Q_OBJECT
public:
    explicit GridProfiler(QObject* parent = nullptr);

    // Starts over for the recordset; nothing (or another recordset) ends the running profile unused.
    void profile(const std::shared_ptr<Recordset>& recordset);
    bool busy() const { return task_.busy(); }

signals:
    // Handed to the recordset already.
    void profiled(std::shared_ptr<const ColumnTextProfiles> profiles);

private:
    BackgroundTask task_;
};

}  // namespace varnex
