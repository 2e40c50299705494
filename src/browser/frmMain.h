#pragma once
// The program's working window: a strip of controls along the top (the table
// list at the left, Settings and Export at the right) and the data grid below.
// Geometry is kept in twips and placed in pixels at the screen's resolution.

#include "browser/DataGrid.h"
#include "browser/MainLayout.h"
#include "platform/CommonDialog.h"
#include "platform/Error.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace varnex {

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    QFrame* frmControls;
    QPushButton* cmdSettings;
    CommonDialog CD;
    QPushButton* cmdExport;
    QComboBox* cboTable;
    QLabel* lblTable;
    DataGrid* dgData;

    // Load handler: fills the table list. Its failure is the caller's to report.
    Status Form_Load();

    // Replaces the list's entries with the database's table names, leaving
    // out the MSys ones; with no database named it leaves the list as it is.
    Status TryFillTableList();
    // The same, reporting a failure through the error log.
    void FillTableList();

    void cboTable_Click();
    // Shows the named table in the grid, releasing the one shown before.
    void LoadTable(const QString& tableName);
    // Sorts the shown rows by the one whole column selected.
    void GridSort();

    // Fits the controls to the window's outer size (see ApplyResizeRule).
    void Form_Resize();
    // Releases the shown recordset and ends the program.
    void Form_Unload();

    const MainLayout& controlLayout() const { return layout_; }
    float OuterWidthTwips() const;
    float OuterHeightTwips() const;

    // How long a load runs before its progress dialog appears.
    void setLoadProgressDelay(int milliseconds) { loadProgressDelayMs_ = milliseconds; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void setTabOrderAndFocus();
    void placeControls();
    void centreOnScreen();
    void releaseShownRecordset();
    void hideRecordIdColumns();
    void showRowCount();

    MainLayout layout_;
    QSize lastOuterSize_;
    float twipsPerPixel_;
    int loadProgressDelayMs_ = 500;
};

}  // namespace varnex
