#include "shell/MainWindow.h"

#include "app/AppSettings.h"
#include "data/Recordset.h"
#include "shell/FindBar.h"
#include "shell/LegacyFont.h"
#include "shell/MainMenu.h"
#include "shell/RecordsetModel.h"
#include "shell/Startup.h"
#include "shell/StatusLine.h"
#include "shell/TableListBox.h"
#include "shell/TrafficLightIcon.h"
#include "shell/Twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace varnex {

namespace {

void place(QWidget* widget, const TwipsRect& rect, float twipsPerPixel)
{
    widget->setGeometry(twipsToPixels(rect.left, twipsPerPixel), twipsToPixels(rect.top, twipsPerPixel),
                        twipsToPixels(rect.width, twipsPerPixel), twipsToPixels(rect.height, twipsPerPixel));
}

constexpr int kScreenShare = 3;  // a new window takes two parts in this many of the screen

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent), twipsPerPixel_(screenTwipsPerPixel(nullptr))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Varnex"));
    setWindowIcon(trafficLightIcon());
    setAcceptDrops(true);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    createControls();
    setTabOrderAndFocus();
    placeOnScreen({});
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("mnuMain"));
    // The controls are placed in twips within the area below the menu bar.
    clientArea = new QWidget(this);
    clientArea->setObjectName(QStringLiteral("wndClient"));

    controlFrame = new QFrame(clientArea);
    controlFrame->setObjectName(QStringLiteral("frmControls"));
    controlFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    controlFrame->setFocusPolicy(Qt::NoFocus);

    settingsButton = new QPushButton(QStringLiteral("&Settings"), controlFrame);
    settingsButton->setObjectName(QStringLiteral("cmdSettings"));

    exportButton = new QPushButton(QStringLiteral("E&xport"), controlFrame);
    exportButton->setObjectName(QStringLiteral("cmdExport"));

    for (QPushButton* button : {settingsButton, exportButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    tableList = new TableListBox(controlFrame);
    tableList->setObjectName(QStringLiteral("cboTable"));
    tableList->setEditable(false);
    tableList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(tableList, &TableListBox::chosen, this, &MainWindow::takeListChoice);

    tableLabel = new QLabel(QStringLiteral("Select Table"), controlFrame);
    tableLabel->setObjectName(QStringLiteral("lblTable"));
    tableLabel->setTextFormat(Qt::PlainText);
    tableLabel->setFont(legacyFont(9.75, true));
    tableLabel->setFocusPolicy(Qt::NoFocus);

    grid = new DataGrid(clientArea);
    grid->setFont(legacyFont(8.25, false));
    grid->horizontalHeader()->setFont(legacyFont(8.25, false));
    connect(grid, &DataGrid::doubleClickedAnywhere, this, &MainWindow::sortBySelectedColumn);
    connect(grid, &DataGrid::sortRequested, this, &MainWindow::sortByColumn);
    connect(grid, &DataGrid::shownRowsChanged, this, &MainWindow::showRowCount);

    createFindBar();

    statusLine = new StatusLine(clientArea);
    statusLine->setFont(legacyFont(8.25, false));

    // Every command of the window and its key, Edit > Find's Ctrl+F among them.
    createMainMenu(*this);
}

void MainWindow::createFindBar()
{
    findBar = new FindBar(clientArea);
    findBar->setFont(legacyFont(8.25, false));
    connect(findBar, &FindBar::textChanged, grid, &DataGrid::setFilterText);
    connect(findBar, &FindBar::closed, this, &MainWindow::closeFindBar);
    // Window-wide, like Ctrl+F: the table list, where the focus stays after a table is chosen
    // by keyboard, would otherwise take the key for itself.
    closeFindAction_ = new QAction(tr("Close the find bar"), this);
    closeFindAction_->setObjectName(QStringLiteral("actCloseFind"));
    closeFindAction_->setShortcut(QKeySequence(Qt::Key_Escape));
    closeFindAction_->setEnabled(false);
    addAction(closeFindAction_);
    connect(closeFindAction_, &QAction::triggered, findBar, &FindBar::dismiss);
}

void MainWindow::setTabOrderAndFocus()
{
    QWidget::setTabOrder(grid, findBar->edit);
    QWidget::setTabOrder(findBar->edit, tableList);
    QWidget::setTabOrder(tableList, exportButton);
    QWidget::setTabOrder(exportButton, settingsButton);
    grid->setFocus();
}

void MainWindow::placeControls()
{
    const int top = menuBarHeight();
    menuBar->setGeometry(0, 0, width(), top);
    clientArea->setGeometry(0, top, width(), height() - top);
    place(controlFrame, layout_.controlFrame, twipsPerPixel_);
    const GridAreaParts gridArea = splitGridArea(layout_.grid, !findBar->isHidden());
    place(grid, gridArea.grid, twipsPerPixel_);
    place(findBar, gridArea.findBar, twipsPerPixel_);
    place(statusLine, gridArea.statusLine, twipsPerPixel_);
    place(settingsButton, layout_.settingsButton, twipsPerPixel_);
    place(exportButton, layout_.exportButton, twipsPerPixel_);
    place(tableList, layout_.tableList, twipsPerPixel_);
    place(tableLabel, layout_.tableLabel, twipsPerPixel_);
}

void MainWindow::placeOnScreen(const QByteArray& remembered)
{
    if (remembered.isEmpty() || !restoreGeometry(remembered)) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen != nullptr)
            resize(screen->availableSize() * 2 / kScreenShare);
        centreOnScreen();
    }
    fitControlsToWindow();
}

void MainWindow::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame(QPoint(0, 0), frameGeometry().size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

int MainWindow::menuBarHeight() const
{
    if (menuBar->isNativeMenuBar())
        return 0;
    const int forWidth = menuBar->heightForWidth(width());
    return forWidth > 0 ? forWidth : menuBar->sizeHint().height();
}

float MainWindow::outerWidthTwips() const
{
    return pixelsToTwips(frameGeometry().width(), twipsPerPixel_);
}

float MainWindow::outerHeightTwips() const
{
    return pixelsToTwips(frameGeometry().height() - menuBarHeight(), twipsPerPixel_);
}

void MainWindow::fitControlsToWindow()
{
    lastOuterSize_ = frameGeometry().size();
    applyResizeRule(layout_, outerWidthTwips(), outerHeightTwips(), isMinimized());
    placeControls();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitControlsToWindow();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The window manager adds its frame after the first resize; the outer size grows then
    // without a resize event of the client area.
    if (frameGeometry().size() != lastOuterSize_)
        fitControlsToWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        fitControlsToWindow();  // restoring keeps the size, so no resize event follows
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The native window exists from the first show on; it tells when the window moves to another screen.
    if (QWindow* window = windowHandle())
        connect(window, &QWindow::screenChanged, this, &MainWindow::followScreen, Qt::UniqueConnection);
}

void MainWindow::followScreen()
{
    twipsPerPixel_ = screenTwipsPerPixel(this);
    placeControls();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closing();
    releaseAndExit();
}

void MainWindow::openFindBar()
{
    findBar->open();
    closeFindAction_->setEnabled(true);
    placeControls();
}

void MainWindow::closeFindBar()
{
    closeFindAction_->setEnabled(false);
    placeControls();
    grid->setFocus();
}

void MainWindow::releaseShownRecordset()
{
    std::shared_ptr<Recordset> shown = grid->recordset();
    if (!shown)
        return;
    grid->setRecordset(nullptr);
    shownDatabase_.clear();
    shownTable_.clear();
    (void)shown->close();  // nothing to do about a failing close: the view is going anyway
    shown.reset();
    showRowCount();
}

void MainWindow::releaseAndExit()
{
    releaseShownRecordset();
    exitApplication(this);
}

void MainWindow::showRowCount()
{
    QString text;
    const std::shared_ptr<Recordset> shown = grid->recordset();
    if (shown) {
        const qint64 rows = grid->recordsetModel().recordCount();
        text = rows == 1 ? tr("1 row") : tr("%1 rows").arg(QLocale().toString(rows));
        const Result<int64_t> total = shown->unfilteredCount();
        statusLine->showRowCount(rows, total.ok() ? *total : rows, shown->isFiltered());
    } else {
        statusLine->clearRowCount();
    }
    statusLine->showDatabase(appSettings().dataPath);
    showReadNotice();
    tableLabel->setToolTip(text);
    tableList->setToolTip(text);
}

}  // namespace varnex
