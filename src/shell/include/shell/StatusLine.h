#pragma once
// The line under the grid: how many rows the grid shows ("N rows", or "N of M
// rows" while a filter hides some), a notice where some values could not be
// read (the log keeps which, the tooltip lists them), and the database's file
// name, its full path as the tooltip.

#include <QStringList>
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
    QLabel* notice;
    QLabel* database;

    void showRowCount(int64_t shown, int64_t total, bool filtered);
    // "Loading: 412,000 rows" while a table comes in.
    void showLoading(int64_t rows);
    void clearRowCount();
    // An empty text hides the notice; details: its tooltip, one line each.
    void showNotice(const QString& text, const QStringList& details);
    // Nothing shown for an empty path.
    void showDatabase(const QString& path);
};

}  // namespace varnex
