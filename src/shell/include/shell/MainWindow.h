#pragma once
// The program's working window: the menu bar at the top; below it a strip of controls (the
// table list at the left, Settings and Export at the right) and the data grid, sharing its
// area with the find bar (Ctrl+F) and the status line under it. Geometry below the menu bar is
// kept in twips, as if the area below the menu bar were the whole window, and placed in pixels
// at the screen's resolution.

#include "core/Error.h"
#include "shell/DataGrid.h"
#include "shell/TableListBox.h"
#include "shell/FileDialog.h"
#include "shell/MainLayout.h"

#include <QStringList>
#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QMenuBar;
class QPushButton;

namespace varnex {

class FindBar;
class StatusLine;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QMenuBar* menuBar;
    QWidget* clientArea;  // everything below the menu bar
    QFrame* controlFrame;
    QPushButton* settingsButton;
    FileDialog fileDialog;
    QPushButton* exportButton;
    TableListBox* tableList;
    QLabel* tableLabel;
    DataGrid* grid;
    FindBar* findBar;
    StatusLine* statusLine;

    // Replaces the list's entries with the database's table names, leaving
    // out the MSys ones; with no database named it leaves the list as it is.
    // The table the grid shows stays chosen; where the list no longer has it,
    // the grid is emptied.
    Status fillTableList();
    // The same, reporting a failure through the error log.
    void refillTableList();
    // After the settings were read again: a table of another database than
    // the one now named leaves the grid, and the status line names the new one.
    void followDatabase();

    void showChosenTable();
    // Shows the named table in the grid, releasing the one shown before. A
    // load that is cancelled or fails leaves the grid empty and no table chosen.
    void showTable(const QString& tableName);
    // Shows the table last shown of the database, when the list has it and the grid shows none
    // (as the program starts).
    void showLastTable();
    // Sorts the shown rows by the one whole column selected.
    void sortBySelectedColumn();
    // Sorts the shown rows by a column, ascending or descending.
    void sortByColumn(int column, Qt::SortOrder order);
    // Shows the find bar, its text ready to be typed over.
    void openFindBar();

    // Fits the controls to the window's outer size (see applyResizeRule).
    void fitControlsToWindow();
    // Releases the shown recordset and ends the program.
    void releaseAndExit();
    // Gives the window the size and place it was closed with, or else two thirds of the
    // available screen, centred.
    void placeOnScreen(const QByteArray& remembered);

    const MainLayout& controlLayout() const { return layout_; }
    // The outer size of the area below the menu bar, which the layout rule is given.
    float outerWidthTwips() const;
    float outerHeightTwips() const;
    // Pixels the menu bar takes at the top of the client area (0 for a menu bar the desktop shows).
    int menuBarHeight() const;

    // How long a load runs before its progress dialog appears.
    void setLoadProgressDelay(int milliseconds) { loadProgressDelayMs_ = milliseconds; }

    // While a command runs the event loop from inside (a load, the table list's read,
    // re-reading the settings, an export), the window is busy: another database waits
    // for it to end before it opens (openDatabaseFile).
    bool isBusy() const { return busyDepth_ > 0; }
    class BusyScope {
    public:
        explicit BusyScope(MainWindow& window) : window_(window) { ++window_.busyDepth_; }
        ~BusyScope() { --window_.busyDepth_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        MainWindow& window_;
    };

signals:
    // A table was loaded into the grid.
    void tableShown(const QString& table);
    // The window is being closed by the user or the desktop; the program ends next.
    void closing();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A file dropped on the window opens as its database (of several, the first).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls();
    void createFindBar();
    void setTabOrderAndFocus();
    void placeControls();
    void centreOnScreen();
    // Places the controls at the resolution of the screen the window is on now.
    void followScreen();
    // A table chosen in the list: loaded now, or once the window's command has ended.
    void takeListChoice();
    void releaseShownRecordset();
    void hideRecordIdColumns();
    // The table's entry in the list; -1 where it has none.
    int listIndexOf(const QString& tableName) const;
    void showRowCount();
    // The status line's notice of what the shown table (or the table list) could not read.
    void showReadNotice();
    void closeFindBar();

    MainLayout layout_;
    QSize lastOuterSize_;
    float twipsPerPixel_;
    int loadProgressDelayMs_ = 500;
    QStringList tableListWarnings_;  // what the last table list read left out
    int busyDepth_ = 0;
    // Esc while the find bar is open, wherever the focus is in the window (as Ctrl+F is).
    QAction* closeFindAction_ = nullptr;
    // Where the table the grid shows came from; empty while it shows none.
    QString shownDatabase_;
    QString shownTable_;
};

}  // namespace varnex
