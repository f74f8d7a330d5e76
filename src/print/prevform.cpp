#include "print/prevform.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "platform/busycursor.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/errorbox.h"
#include "print/gopage.h"
#include "print/pageview.h"
#include "print/prevprinter.h"

namespace tessaria {

namespace {

void DrawMagnifier(QPainter& p, int size)
{
    p.setRenderHint(QPainter::Antialiasing);
    const double r = size * 0.28;
    const QPointF c(size * 0.38, size * 0.38);
    p.setPen(QPen(Qt::white, size / 8.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(r * 0.75, r * 0.75), QPointF(size * 0.9, size * 0.9));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(Qt::black, size / 14.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(Qt::black, size / 9.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(r * 0.75, r * 0.75), QPointF(size * 0.88, size * 0.88));
}

// A 20 x 20 tool button glyph drawn on a transparent ground.
template <class TDraw> QIcon DrawnGlyph(TDraw draw)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

QIcon MagnifierIcon()
{
    return DrawnGlyph([](QPainter& p) { DrawMagnifier(p, 20); });
}

// A four-way arrow: panning across the page.
QIcon PanIcon()
{
    return DrawnGlyph([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1.6));
        p.drawLine(10, 2, 10, 18);
        p.drawLine(2, 10, 18, 10);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(7, 5), QPointF(13, 5)}));
        p.drawPolygon(QPolygonF({QPointF(10, 19), QPointF(7, 15), QPointF(13, 15)}));
        p.drawPolygon(QPolygonF({QPointF(1, 10), QPointF(5, 7), QPointF(5, 13)}));
        p.drawPolygon(QPolygonF({QPointF(19, 10), QPointF(15, 7), QPointF(15, 13)}));
    });
}

// A sheet, whole (fit to page) or with arrows to its sides (fit to width).
QIcon SheetIcon(bool width)
{
    return DrawnGlyph([&](QPainter& p) {
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        if (width) {
            p.drawRect(4, 3, 11, 14);
            p.drawLine(1, 10, 18, 10);
            p.drawLine(1, 10, 3, 8);
            p.drawLine(1, 10, 3, 12);
            p.drawLine(18, 10, 16, 8);
            p.drawLine(18, 10, 16, 12);
        } else {
            p.drawRect(5, 1, 10, 17);
            for (int y = 4; y < 16; y += 3)
                p.drawLine(7, y, 13, y);
        }
    });
}

QIcon HashIcon()
{
    return DrawnGlyph([](QPainter& p) {
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(14);
        p.setFont(font);
        p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("#"));
    });
}

QToolButton* SpeedButton(QWidget* parent, const char* name, const QIcon& icon, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

QPushButton* TextButton(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

} // namespace

QCursor TPreviewForm::ZoomCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    DrawMagnifier(p, 32);
    p.end();
    // The hot spot is the middle of the lens.
    return QCursor(pixmap, 12, 12);
}

TPreviewForm::TPreviewForm(TPreviewPrinter& engine, QWidget* parent) : QDialog(parent), Engine_(engine)
{
    setObjectName("PreviewForm");
    setWindowTitle("Preview Form");
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBarPanel = new QWidget(this);
    ToolBarPanel->setObjectName("ToolBarPanel");
    auto* tools = new QHBoxLayout(ToolBarPanel);
    tools->setContentsMargins(4, 4, 4, 4);
    ZoomCursorBut = SpeedButton(ToolBarPanel, "ZoomCursorBut", MagnifierIcon(), "Selects the Zoom Tool to zoom in or out");
    HandCursorBut =
        SpeedButton(ToolBarPanel, "HandCursorBut", PanIcon(), "Selects the Hand Tool to pan across the Page");
    for (QToolButton* b : {ZoomCursorBut, HandCursorBut})
        b->setCheckable(true);
    auto* toolGroup = new QButtonGroup(this);
    toolGroup->addButton(ZoomCursorBut);
    toolGroup->addButton(HandCursorBut);
    ZoomCursorBut->setChecked(true);
    FitPageBut = SpeedButton(ToolBarPanel, "FitPageBut", SheetIcon(false), "Fit to Page");
    FitWidthBut = SpeedButton(ToolBarPanel, "FitWidthBut", SheetIcon(true), "Fit to Width");
    for (QToolButton* b : {FitPageBut, FitWidthBut})
        b->setCheckable(true);
    PrintBut = TextButton(ToolBarPanel, "PrintBut", "&Print...", "Print the Current Document");
    NextPageBut = TextButton(ToolBarPanel, "NextPageBut", "&Next", "Advance to Next Page in Document");
    PrevPageBut = TextButton(ToolBarPanel, "PrevPageBut", "Pre&v", "Move to Previous Page in Document");
    PrevPageBut->setEnabled(false);
    CloseBut = TextButton(ToolBarPanel, "CloseBut", "&Close", "Close the Print Preview window");
    ZoomBox = new QComboBox(ToolBarPanel);
    ZoomBox->setObjectName("ZoomBox");
    for (int i = 0; i < ZoomEntryCount; ++i)
        ZoomBox->addItem(QString::fromLatin1(ZoomEntryText(i)));
    ZoomBox->setCurrentIndex(zeFitToPage);
    for (QWidget* w : std::initializer_list<QWidget*>{ZoomCursorBut, HandCursorBut, FitPageBut, FitWidthBut, PrintBut,
                                                      NextPageBut, PrevPageBut, CloseBut, ZoomBox})
        tools->addWidget(w);
    tools->addStretch();
    layout->addWidget(ToolBarPanel);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setWidgetResizable(false);
    ContainPanel = new QWidget;
    ContainPanel->setObjectName("ContainPanel");
    ContainPanel->setAutoFillBackground(true);
    QPalette shadow = ContainPanel->palette();
    shadow.setColor(QPalette::Window, shadow.color(QPalette::Dark));
    ContainPanel->setPalette(shadow);
    PagePanel = new QFrame(ContainPanel);
    PagePanel->setObjectName("PagePanel");
    PagePanel->setFrameShape(QFrame::Box);
    PagePanel->setLineWidth(1);
    PagePanel->setAutoFillBackground(true);
    QPalette white = PagePanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    PagePanel->setPalette(white);
    PB1 = new TPreviewPaintBox(*this, PagePanel);
    PB1->setObjectName("PB1");
    PB1->setToolTip("Page View.  With Zoom Tool, left or right click to zoom in/out.  Click && drag with Hand Tool to pan.");
    ScrollBox1->setWidget(ContainPanel);
    ScrollBox1->installEventFilter(this);
    layout->addWidget(ScrollBox1, 1);

    StatBarPanel = new QFrame(this);
    StatBarPanel->setObjectName("StatBarPanel");
    StatBarPanel->setFrameShape(QFrame::StyledPanel);
    auto* status = new QHBoxLayout(StatBarPanel);
    status->setContentsMargins(4, 2, 4, 2);
    CurPageLabel = new QLabel(StatBarPanel);
    CurPageLabel->setObjectName("CurPageLabel");
    CurPageLabel->setToolTip("Displays the Current Page of the Document");
    CurPageLabel->setMinimumWidth(110);
    ZoomLabel = new QLabel(StatBarPanel);
    ZoomLabel->setObjectName("ZoomLabel");
    ZoomLabel->setToolTip("Displays the Current Zoom Level (100% = normal)");
    ZoomLabel->setMinimumWidth(60);
    QStyle* s = style();
    FirstPageSpeed = SpeedButton(StatBarPanel, "FirstPageSpeed", s->standardIcon(QStyle::SP_MediaSkipBackward),
                                 "Go to First Page in Document");
    PrevPageSpeed = SpeedButton(StatBarPanel, "PrevPageSpeed", s->standardIcon(QStyle::SP_MediaSeekBackward),
                                "Move to Previous Page in Document");
    NextPageSpeed = SpeedButton(StatBarPanel, "NextPageSpeed", s->standardIcon(QStyle::SP_MediaSeekForward),
                                "Advance to Next Page in Document");
    LastPageSpeed = SpeedButton(StatBarPanel, "LastPageSpeed", s->standardIcon(QStyle::SP_MediaSkipForward),
                                "Go to Last Page in Document");
    PageNumSpeed = SpeedButton(StatBarPanel, "PageNumSpeed", HashIcon(), "Go to Page by Page Number");
    status->addWidget(CurPageLabel);
    status->addWidget(ZoomLabel);
    for (QToolButton* b : {FirstPageSpeed, PrevPageSpeed, NextPageSpeed, LastPageSpeed, PageNumSpeed})
        status->addWidget(b);
    status->addStretch();
    layout->addWidget(StatBarPanel);

    PB1->setCursor(ZoomCursor());

    connect(ZoomCursorBut, &QToolButton::clicked, this, [this] { RunCommand([this] { ZoomCursorButClick(); }); });
    connect(HandCursorBut, &QToolButton::clicked, this, [this] { RunCommand([this] { HandCursorButClick(); }); });
    connect(FitPageBut, &QToolButton::clicked, this, [this] { RunCommand([this] { FitPageButClick(); }); });
    connect(FitWidthBut, &QToolButton::clicked, this, [this] { RunCommand([this] { FitWidthButClick(); }); });
    connect(PrintBut, &QPushButton::clicked, this, [this] { RunCommand([this] { PrintButClick(); }); });
    connect(NextPageBut, &QPushButton::clicked, this, [this] { RunCommand([this] { NextPageButClick(); }); });
    connect(PrevPageBut, &QPushButton::clicked, this, [this] { RunCommand([this] { PrevPageButClick(); }); });
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::reject);
    connect(FirstPageSpeed, &QToolButton::clicked, this, [this] { RunCommand([this] { FirstPageSpeedClick(); }); });
    connect(PrevPageSpeed, &QToolButton::clicked, this, [this] { RunCommand([this] { PrevPageButClick(); }); });
    connect(NextPageSpeed, &QToolButton::clicked, this, [this] { RunCommand([this] { NextPageButClick(); }); });
    connect(LastPageSpeed, &QToolButton::clicked, this, [this] { RunCommand([this] { LastPageSpeedClick(); }); });
    connect(PageNumSpeed, &QToolButton::clicked, this, [this] { RunCommand([this] { PageNumSpeedClick(); }); });
    connect(ZoomBox, &QComboBox::currentIndexChanged, this, [this] { RunCommand([this] { ZoomBoxChange(); }); });

    setWindowState(Qt::WindowNoState);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(available.width(), 900), std::max(400, available.height() * 9 / 10));
    UpdateButtons();
}

TPreviewForm::~TPreviewForm() = default;

void TPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!Shown_) {
        Shown_ = true;
        FormShow();
    }
}

void TPreviewForm::FormShow()
{
    ShowPage(0);
    UpdateButtons();
    ChooseZoomEntry(zeFitToWidth);
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    // Twice, as for a zoom change: the bars may come or go with the new size.
    if (watched == ScrollBox1 && event->type() == QEvent::Resize)
        ZoomBoxChange();
    return QDialog::eventFilter(watched, event);
}

void TPreviewForm::ShowPage(int page)
{
    CurrentPage_ = page;
    // The shown page has its pictures; its neighbours are made ready meanwhile.
    {
        TBusyCursor busy;
        Engine_.KeepPagesAround(page);
    }
    CurPageLabel->setText(QStringLiteral("Page %1 of %2").arg(page + 1).arg(Engine_.PageCount()));
    PB1->update();
}

void TPreviewForm::UpdateButtons()
{
    const int count = Engine_.PageCount();
    const bool next = count > CurrentPage_ + 1;
    const bool previous = CurrentPage_ > 0;
    NextPageBut->setEnabled(next);
    NextPageSpeed->setEnabled(next);
    LastPageSpeed->setEnabled(next);
    PrevPageBut->setEnabled(previous);
    PrevPageSpeed->setEnabled(previous);
    FirstPageSpeed->setEnabled(previous);
    PageNumSpeed->setEnabled(count > 1);
}

TZoomInputs TPreviewForm::ZoomInputs() const
{
    TZoomInputs in;
    // The room the scroll box leaves with the bars the container needs now;
    // Qt would only show or hide them later, from its event loop.
    const QSize room = ScrollBox1->maximumViewportSize();
    const QSize content = ContainPanel->size();
    const int bar = ScrollBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox1) +
                    ScrollBox1->style()->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing, nullptr, ScrollBox1);
    bool vertical = content.height() > room.height();
    const bool horizontal = content.width() > room.width() - (vertical ? bar : 0);
    vertical = vertical || (horizontal && content.height() > room.height() - bar);
    in.VisibleWidth = room.width() - (vertical ? bar : 0);
    in.VisibleHeight = room.height() - (horizontal ? bar : 0);
    in.ScreenPixelsPerInch = ScreenLogicalDpi();
    if (Engine_.PixelsPerInchX() > 0 && Engine_.PixelsPerInchY() > 0) {
        in.SheetWidthInches = double(Engine_.PhysicalWidth()) / Engine_.PixelsPerInchX();
        in.SheetHeightInches = double(Engine_.PhysicalHeight()) / Engine_.PixelsPerInchY();
    }
    in.CurrentFactor = Zoom_;
    return in;
}

void TPreviewForm::LayOut()
{
    const int entry = ZoomBox->currentIndex() < 0 ? int(zeFitToPage) : ZoomBox->currentIndex();
    FitPageBut->setChecked(entry == zeFitToPage);
    FitWidthBut->setChecked(entry == zeFitToWidth);
    const TZoomInputs in = ZoomInputs();
    Zoom_ = ZoomFactor(entry, in);
    const TPagePlacement p = PlacePage(Zoom_, in);
    ContainPanel->resize(p.ContainerWidth, p.ContainerHeight);
    PagePanel->setGeometry(p.PageLeft, p.PageTop, p.PageWidth, p.PageHeight);
    // The paint box fills the panel inside its single border.
    PB1->setGeometry(PagePanel->contentsRect());
    ZoomLabel->setText(QString::fromStdString(ZoomText(Zoom_)));
}

void TPreviewForm::ZoomBoxChange()
{
    // Twice: scroll bars that come or go in the first pass change the room.
    LayOut();
    LayOut();
}

void TPreviewForm::ChooseZoomEntry(int index)
{
    if (ZoomBox->currentIndex() == index)
        ZoomBoxChange();
    else
        ZoomBox->setCurrentIndex(index); // the change lays out
}

void TPreviewForm::FitPageButClick() { ChooseZoomEntry(zeFitToPage); }
void TPreviewForm::FitWidthButClick() { ChooseZoomEntry(zeFitToWidth); }

void TPreviewForm::NextPageButClick()
{
    if (CurrentPage_ + 1 < Engine_.PageCount())
        ShowPage(CurrentPage_ + 1);
    UpdateButtons();
}

void TPreviewForm::PrevPageButClick()
{
    if (CurrentPage_ > 0)
        ShowPage(CurrentPage_ - 1);
    UpdateButtons();
}

void TPreviewForm::FirstPageSpeedClick()
{
    ShowPage(0);
    UpdateButtons();
}

void TPreviewForm::LastPageSpeedClick()
{
    ShowPage(std::max(0, Engine_.PageCount() - 1));
    UpdateButtons();
}

void TPreviewForm::PageNumSpeedClick()
{
    TGoPageForm form(this);
    form.PageNum->setRange(1, std::max(1, Engine_.PageCount()));
    form.PageNum->setValue(CurrentPage_ + 1);
    if (Dialogs().ExecModal(form) != QDialog::Accepted)
        return;
    ShowPage(form.PageNum->value() - 1);
    UpdateButtons();
}

void TPreviewForm::PrintButClick() { Engine_.PrintWithDialog(); }

void TPreviewForm::ZoomCursorButClick()
{
    ZoomCursorBut->setChecked(true);
    PB1->setCursor(ZoomCursor());
}

void TPreviewForm::HandCursorButClick()
{
    HandCursorBut->setChecked(true);
    PB1->setCursor(Qt::PointingHandCursor);
}

void TPreviewForm::PB1MouseDown(Qt::MouseButton button, QPoint at)
{
    if (HandCursorBut->isChecked()) {
        PanStart_ = at;
        Panning_ = true;
        return;
    }
    if (!ZoomCursorBut->isChecked() || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    const float fx = float(at.x()) / float(std::max(1, PagePanel->width()));
    const float fy = float(at.y()) / float(std::max(1, PagePanel->height()));
    Zoom_ = button == Qt::LeftButton ? Zoom_ * 1.5 : Zoom_ / 1.5;
    {
        const QSignalBlocker quiet(ZoomBox); // "Custom" keeps the factor just set
        ZoomBox->setCurrentIndex(zeCustom);
    }
    LayOut();
    LayOut();
    ScrollBox1->horizontalScrollBar()->setValue(int(std::trunc(PagePanel->width() * fx)) - ScrollBox1->width() / 2);
    ScrollBox1->verticalScrollBar()->setValue(int(std::trunc(PagePanel->height() * fy)) - ScrollBox1->height() / 2);
}

void TPreviewForm::PB1MouseMove(QPoint at)
{
    if (!Panning_)
        return;
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    h->setValue(h->value() + (PanStart_.x() - at.x()));
    v->setValue(v->value() + (PanStart_.y() - at.y()));
}

void TPreviewForm::PB1MouseUp() { Panning_ = false; }

TPreviewPaintBox::TPreviewPaintBox(TPreviewForm& form, QWidget* parent) : QWidget(parent), Form_(form) {}

void TPreviewPaintBox::paintEvent(QPaintEvent*)
{
    const TPreviewPrinter& engine = Form_.Engine();
    if (Form_.CurrentPage() >= engine.PageCount())
        return;
    QPainter painter(this);
    PaintPage(painter, engine.GetPage(Form_.CurrentPage()), engine.PhysicalWidth(), engine.PhysicalHeight(), rect());
}

void TPreviewPaintBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    RunCommand([&] { Form_.PB1MouseDown(event->button(), at); });
}

void TPreviewPaintBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    RunCommand([&] { Form_.PB1MouseMove(at); });
}

void TPreviewPaintBox::mouseReleaseEvent(QMouseEvent*) { Form_.PB1MouseUp(); }

} // namespace tessaria
