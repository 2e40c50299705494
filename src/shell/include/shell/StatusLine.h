#pragma once
// The line under the grid: how many rows the grid shows ("N rows", or "N of M
// rows" while a filter hides some) and the database's file name, its full path
// as the tooltip.

#include <QWidget>

#include <cstdint>

class QLabel;

namespace varnex {

// "1 row", "12,345 rows", "3 of 12,345 rows" in the locale's digits.
QString rowCountText(int64_t shown, int64_t total, bool filtered);

class StatusLine : public QWidget {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    QLabel* rowCount;
    QLabel* database;

    void showRowCount(int64_t shown, int64_t total, bool filtered);
    // "Loading: 412,000 rows" while a table comes in.
    void showLoading(int64_t rows);
    void clearRowCount();
    // Nothing shown for an empty path.
    void showDatabase(const QString& path);
};

}  // namespace varnex
