#include "browser/frmMain.h"

#include "app/Main.h"
#include "browser/LegacyFont.h"
#include "browser/RecordsetModel.h"
#include "browser/TrafficLightIcon.h"
#include "browser/Twips.h"
#include "platform/data/Recordset.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>

namespace varnex {

namespace {

void Place(QWidget* widget, const TwipsRect& rect, float twipsPerPixel)
{
    widget->setGeometry(TwipsToPixels(rect.left, twipsPerPixel), TwipsToPixels(rect.top, twipsPerPixel),
                        TwipsToPixels(rect.width, twipsPerPixel), TwipsToPixels(rect.height, twipsPerPixel));
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent), twipsPerPixel_(TwipsPerPixel(nullptr))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Varnex"));
    setWindowIcon(TrafficLightIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    createControls();
    setTabOrderAndFocus();
    resize(TwipsToPixels(kClientWidthTwips, twipsPerPixel_), TwipsToPixels(kClientHeightTwips, twipsPerPixel_));
    placeControls();
    centreOnScreen();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    frmControls = new QFrame(this);
    frmControls->setObjectName(QStringLiteral("frmControls"));
    frmControls->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frmControls->setFocusPolicy(Qt::NoFocus);

    cmdSettings = new QPushButton(QStringLiteral("&Settings"), frmControls);
    cmdSettings->setObjectName(QStringLiteral("cmdSettings"));

    cmdExport = new QPushButton(QStringLiteral("E&xport"), frmControls);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));

    for (QPushButton* button : {cmdSettings, cmdExport}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    cboTable = new QComboBox(frmControls);
    cboTable->setObjectName(QStringLiteral("cboTable"));
    cboTable->setEditable(false);
    cboTable->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(cboTable, &QComboBox::activated, this, [this](int) { cboTable_Click(); });

    lblTable = new QLabel(QStringLiteral("Select Table"), frmControls);
    lblTable->setObjectName(QStringLiteral("lblTable"));
    lblTable->setTextFormat(Qt::PlainText);
    lblTable->setFont(MsSansSerif(9.75, true));
    lblTable->setFocusPolicy(Qt::NoFocus);

    dgData = new DataGrid(this);
    dgData->setFont(MsSansSerif(8.25, false));
    dgData->horizontalHeader()->setFont(MsSansSerif(8.25, false));
    connect(dgData, &DataGrid::DblClick, this, &frmMain::GridSort);
}

void frmMain::setTabOrderAndFocus()
{
    QWidget::setTabOrder(dgData, cboTable);
    QWidget::setTabOrder(cboTable, cmdExport);
    QWidget::setTabOrder(cmdExport, cmdSettings);
    dgData->setFocus();
}

void frmMain::placeControls()
{
    Place(frmControls, layout_.frmControls, twipsPerPixel_);
    Place(dgData, layout_.dgData, twipsPerPixel_);
    Place(cmdSettings, layout_.cmdSettings, twipsPerPixel_);
    Place(cmdExport, layout_.cmdExport, twipsPerPixel_);
    Place(cboTable, layout_.cboTable, twipsPerPixel_);
    Place(lblTable, layout_.lblTable, twipsPerPixel_);
}

void frmMain::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame(QPoint(0, 0), frameGeometry().size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

Status frmMain::Form_Load()
{
    return TryFillTableList();
}

float frmMain::OuterWidthTwips() const
{
    return PixelsToTwips(frameGeometry().width(), twipsPerPixel_);
}

float frmMain::OuterHeightTwips() const
{
    return PixelsToTwips(frameGeometry().height(), twipsPerPixel_);
}

void frmMain::Form_Resize()
{
    lastOuterSize_ = frameGeometry().size();
    ApplyResizeRule(layout_, OuterWidthTwips(), OuterHeightTwips(), isMinimized());
    placeControls();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The window manager adds its frame after the first resize; the outer size grows then
    // without a resize event of the client area.
    if (frameGeometry().size() != lastOuterSize_)
        Form_Resize();
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();  // restoring keeps the size, so no resize event follows
    else if (event->type() == QEvent::ScreenChangeInternal) {
        twipsPerPixel_ = TwipsPerPixel(this);
        placeControls();
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    Form_Unload();
}

void frmMain::releaseShownRecordset()
{
    std::shared_ptr<Recordset> shown = dgData->DataSource();
    if (!shown)
        return;
    dgData->setDataSource(nullptr);
    (void)shown->Close();  // nothing to do about a failing close: the view is going anyway
    shown.reset();
    showRowCount();
}

void frmMain::Form_Unload()
{
    releaseShownRecordset();
    ExitApplication(this);
}

void frmMain::showRowCount()
{
    QString text;
    if (dgData->DataSource()) {
        const qint64 rows = dgData->recordsetModel().recordCount();
        text = rows == 1 ? tr("1 row") : tr("%1 rows").arg(QLocale().toString(rows));
    }
    lblTable->setToolTip(text);
    cboTable->setToolTip(text);
}

}  // namespace varnex
