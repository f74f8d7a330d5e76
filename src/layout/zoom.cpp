// The main window's view of the page: the zoom, the sheet of paper the page
// lies on with its margins, the zoom box, Ctrl+wheel and the zoom keys.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolBar>
#include <QWheelEvent>
#include <cmath>

#include "app/utessaria.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "layout/screencopies.h"
#include "platform/errorbox.h"
#include "platform/settingsstore.h"
#include "print/prevprinter.h"

namespace tessaria {

namespace {

const QString FitPageText = QStringLiteral("Fit Page");
const QString FitWidthText = QStringLiteral("Fit Width");
constexpr int WheelNotch = 120;

QString PercentText(double percent) { return QStringLiteral("%1 %").arg(int(std::lround(percent))); }

} // namespace

void TfrmTessaria::CreateScreenCopies()
{
    ScreenCopies = new TScreenCopies(this);
    connect(ScreenCopies, &TScreenCopies::Made, this, [](TRectBox* box) { box->update(); });
}

void TfrmTessaria::CreateZoomControls()
{
    cbZoom = new QComboBox(ToolBar1);
    cbZoom->setObjectName("cbZoom");
    cbZoom->setToolTip("Zoom");
    cbZoom->setEditable(true);
    cbZoom->setInsertPolicy(QComboBox::NoInsert);
    cbZoom->addItems({FitPageText, FitWidthText, "50 %", "75 %", "100 %", "150 %", "200 %", "300 %", "400 %"});
    cbZoom->setMaxVisibleItems(9);
    cbZoom->setMinimumContentsLength(8);
    cbZoom->setFocusPolicy(Qt::ClickFocus);
    ToolBar1->addWidget(cbZoom);
    connect(cbZoom, &QComboBox::activated, this,
            [this](int index) { RunCommand([&] { ZoomBoxChosen(cbZoom->itemText(index)); }); });
    connect(cbZoom->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { RunCommand([this] { ZoomBoxChosen(cbZoom->currentText()); }); });

    // Keys for the whole window; no menu item carries them.
    auto key = [this](const char* name, const QString& text, QList<QKeySequence> keys) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };
    ZoomIn1 = key("ZoomIn1", "Zoom In", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ZoomOut1 = key("ZoomOut1", "Zoom Out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    FitWidth1 = key("FitWidth1", FitWidthText, {QKeySequence(Qt::CTRL | Qt::Key_0)});
    connect(ZoomIn1, &QAction::triggered, this, [this] { RunCommand([this] { ZoomStep(1); }); });
    connect(ZoomOut1, &QAction::triggered, this, [this] { RunCommand([this] { ZoomStep(-1); }); });
    connect(FitWidth1, &QAction::triggered, this, [this] { RunCommand([this] { SetZoomMode(TZoomMode::FitWidth); }); });
}

TSheetMargins TfrmTessaria::CurrentSheetMargins() const
{
    if (!CurrentPage || !PP1)
        return {};
    const TPrintGeometry g = PP1->LayoutArea();
    return SheetMargins(g.Width, g.Height, g.OriginX, g.OriginY, PP1->PhysicalWidth(), PP1->PhysicalHeight(),
                        CurrentPage->PageSize());
}

void TfrmTessaria::LayoutView()
{
    if (!CurrentPage)
        return;
    const TSheetMargins margins = CurrentSheetMargins();
    if (ZoomMode == TZoomMode::FitPage)
        Zoom = FitPageZoom(CurrentPage->PageSize(), margins, ScrollBox1->maximumViewportSize());
    else if (ZoomMode == TZoomMode::FitWidth) {
        const int bar = ScrollBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        Zoom = FitWidthZoom(CurrentPage->PageSize(), margins, ScrollBox1->maximumViewportSize().width() - bar);
    }
    const bool onSheet = margins != TSheetMargins{};
    for (TCanvasPanel* page : Pages) {
        page->SetScale(Zoom);
        page->SetMarginLine(onSheet);
    }
    const TViewGeometry v = ViewGeometry(CurrentPage->PageSize(), margins, Zoom);
    PnlSheet->setGeometry(v.Sheet);
    PnlSheet->setVisible(onSheet);
    PnlDropShadow->setGeometry(v.Shadow);
    for (TCanvasPanel* page : Pages)
        page->move(v.Page.topLeft());
    ScrollBoxContents->resize(v.Contents);
    ShowZoomInBox();
}

double TfrmTessaria::RealSizeZoom() const
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->physicalDotsPerInchX() : 96.0;
    return LayoutPPI > 0 && dpi > 0 ? dpi / LayoutPPI : 1.0;
}

void TfrmTessaria::SetZoom(double zoom, QPoint anchor)
{
    QWidget* viewport = ScrollBox1->viewport();
    if (!viewport->rect().contains(anchor))
        anchor = viewport->rect().center();
    const double before = Zoom;
    const QRect pageBefore = CurrentPage ? CurrentPage->geometry() : QRect();
    const QPoint scroll(ScrollBox1->horizontalScrollBar()->value(), ScrollBox1->verticalScrollBar()->value());
    ZoomMode = TZoomMode::Factor;
    Zoom = ClampZoom(zoom);
    LayoutView();
    WriteSetting(SettingsKey, "Zoom", QString::number(Zoom, 'g', 6));
    if (!CurrentPage)
        return;
    const QPoint keep = ScrollKeepingPoint(scroll, anchor, pageBefore, before, CurrentPage->geometry(), Zoom);
    ScrollBox1->horizontalScrollBar()->setValue(keep.x());
    ScrollBox1->verticalScrollBar()->setValue(keep.y());
}

void TfrmTessaria::SetZoomMode(TZoomMode mode)
{
    if (mode == TZoomMode::Factor)
        return;
    ZoomMode = mode;
    LayoutView();
    WriteSetting(SettingsKey, "Zoom", mode == TZoomMode::FitPage ? FitPageText : FitWidthText);
}

void TfrmTessaria::ZoomStep(int steps)
{
    QPoint anchor = ScrollBox1->viewport()->mapFromGlobal(QCursor::pos());
    SetZoom(StepZoom(Zoom, steps), anchor);
}

bool TfrmTessaria::ZoomWheel(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    const int steps = event->angleDelta().y() / WheelNotch;
    if (steps == 0)
        return true; // part of a notch: taken, so that nothing scrolls
    SetZoom(StepZoom(Zoom, steps), ScrollBox1->viewport()->mapFromGlobal(event->globalPosition().toPoint()));
    return true;
}

void TfrmTessaria::ShowZoomInBox()
{
    if (!cbZoom)
        return;
    const QSignalBlocker quiet(cbZoom);
    switch (ZoomMode) {
    case TZoomMode::FitPage: cbZoom->setEditText(FitPageText); break;
    case TZoomMode::FitWidth: cbZoom->setEditText(FitWidthText); break;
    case TZoomMode::Factor: cbZoom->setEditText(PercentText(Zoom / RealSizeZoom() * 100)); break;
    }
}

void TfrmTessaria::ZoomBoxChosen(const QString& text)
{
    const QString chosen = text.trimmed();
    if (chosen.compare(FitPageText, Qt::CaseInsensitive) == 0) {
        SetZoomMode(TZoomMode::FitPage);
        return;
    }
    if (chosen.compare(FitWidthText, Qt::CaseInsensitive) == 0) {
        SetZoomMode(TZoomMode::FitWidth);
        return;
    }
    QString number = chosen;
    number.remove('%');
    bool ok = false;
    const double percent = number.trimmed().toDouble(&ok);
    if (ok && percent > 0)
        SetZoom(percent / 100 * RealSizeZoom());
    else
        ShowZoomInBox(); // not a zoom: show the one there is
}

void TfrmTessaria::ReadStoredZoom()
{
    const QString stored = ReadSetting(SettingsKey, "Zoom", "1").trimmed();
    if (stored == FitPageText)
        ZoomMode = TZoomMode::FitPage;
    else if (stored == FitWidthText)
        ZoomMode = TZoomMode::FitWidth;
    else {
        bool ok = false;
        const double zoom = stored.toDouble(&ok);
        ZoomMode = TZoomMode::Factor;
        Zoom = ok ? ClampZoom(zoom) : 1.0;
    }
    LayoutView();
}

} // namespace tessaria
