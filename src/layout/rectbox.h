#pragma once
// The one box class of a layout: a picture box (TextBox false) or a text box.
// A windowless child of its page; the main window owns it (see Owner()).
// It draws its frame, handles, read-outs and text; the picture itself is drawn
// by whoever handles OnPaint.
//
// Left, Top, Width and Height are page pixels (Bounds()); the widget sits
// where its page's scale puts them on the screen. The handles, the hit zones
// and the frame keep their sizes in screen pixels, so they stay easy to grab
// at any zoom; a drag by N screen pixels moves the box N / zoom page pixels.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "base/alignment.h"
#include "base/datetime.h"
#include "imageio/bitmap.h"
#include "layout/boxgeometry.h"

namespace tessaria {

enum class TFrameType { ftOuter, ftInner, ftMiddle };

class TRectBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool AutoForeGround READ AutoForeGround WRITE SetAutoForeGround)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool HidePassiveFrame READ HidePassiveFrame WRITE SetHidePassiveFrame)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(bool Proportionate READ Proportionate WRITE SetProportionate)
    Q_PROPERTY(int BoxSize READ BoxSize WRITE SetBoxSize)
    Q_PROPERTY(QColor BoxColor READ BoxColor WRITE SetBoxColor)
    Q_PROPERTY(QColor ActiveFrameColor READ ActiveFrameColor WRITE SetActiveFrameColor)
    Q_PROPERTY(QColor PassiveFrameColor READ PassiveFrameColor WRITE SetPassiveFrameColor)
    Q_PROPERTY(bool DrawFrame READ DrawFrame WRITE SetDrawFrame)
    Q_PROPERTY(bool DrawBoxes READ DrawBoxes WRITE SetDrawBoxes)
    Q_PROPERTY(bool ShowPos READ ShowPos WRITE SetShowPos)
    Q_PROPERTY(bool ShowSize READ ShowSize WRITE SetShowSize)
    Q_PROPERTY(QColor InfoTextColor READ InfoTextColor WRITE SetInfoTextColor)
    Q_PROPERTY(bool Focus READ Focus WRITE SetFocus)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(int PictureWidth READ PictureWidth WRITE SetPictureWidth)
    Q_PROPERTY(int PictureHeight READ PictureHeight WRITE SetPictureHeight)
    Q_PROPERTY(double PictureDate READ PictureDate WRITE SetPictureDate)
    Q_PROPERTY(double Ratio READ RatioAsDouble WRITE SetRatioFromDouble)
    Q_PROPERTY(int Rotation READ Rotation WRITE SetRotation)
    Q_PROPERTY(bool TextBox READ TextBox WRITE SetTextBox)
    Q_PROPERTY(int CanvasPPI READ CanvasPPI WRITE SetCanvasPPI)
    Q_PROPERTY(QStringList Lines READ Lines WRITE SetLines)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
public:
    // The owner is the object whose boxes UnfocusAll walks (the main window);
    // the parent is the page the box sits on.
    TRectBox(QObject* owner, QWidget* parent);
    ~TRectBox() override;

    QObject* Owner() const { return Owner_; }
    // A box taken out of the layout (deleted, but kept for undo) has no
    // owner: it stays hidden on its page and no walk over the layout sees it.
    void SetOwner(QObject* owner) { Owner_ = owner; }
    // The boxes of an owner in creation order (the main window's components).
    static QList<TRectBox*> BoxesOf(const QObject* owner);

    bool AutoForeGround() const { return AutoForeGround_; }
    void SetAutoForeGround(bool v) { AutoForeGround_ = v; }
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool v);
    TFrameType FrameType() const { return FrameType_; }
    void SetFrameType(TFrameType v);
    bool HidePassiveFrame() const { return HidePassiveFrame_; }
    void SetHidePassiveFrame(bool v);
    QString Caption() const { return Caption_; }
    void SetCaption(const QString& v);
    QString FileName() const { return FileName_; }
    void SetFileName(const QString& v);
    bool Proportionate() const { return Proportionate_; }
    void SetProportionate(bool v) { Proportionate_ = v; }
    int BoxSize() const { return BoxSize_; }
    void SetBoxSize(int v);
    QColor BoxColor() const { return BoxColor_; }
    void SetBoxColor(const QColor& v);
    QColor ActiveFrameColor() const { return ActiveFrameColor_; }
    void SetActiveFrameColor(const QColor& v);
    QColor PassiveFrameColor() const { return PassiveFrameColor_; }
    void SetPassiveFrameColor(const QColor& v);
    bool DrawFrame() const { return DrawFrame_; }
    void SetDrawFrame(bool v);
    bool DrawBoxes() const { return DrawBoxes_; }
    void SetDrawBoxes(bool v);
    bool ShowPos() const { return ShowPos_; }
    void SetShowPos(bool v);
    bool ShowSize() const { return ShowSize_; }
    void SetShowSize(bool v);
    QColor InfoTextColor() const { return InfoTextColor_; }
    void SetInfoTextColor(const QColor& v);
    bool Focus() const { return Focus_; }
    void SetFocus(bool v);
    // The text box's font; its point size is drawn at CanvasPPI.
    QFont Font() const { return Font_; }
    void SetFont(const QFont& v);
    QColor FontColor() const { return FontColor_; }
    void SetFontColor(const QColor& v);

    // The shown bitmap (a reduced copy); copied in, no repaint.
    const TBitmap& Picture() const;
    void SetPicture(const TBitmap& picture);
    // The same bitmap shared, as undo keeps it; never changed in place.
    std::shared_ptr<const TBitmap> SharedPicture() const { return Picture_; }
    void SetSharedPicture(std::shared_ptr<const TBitmap> picture);
    // The picture as drawn on the screen.
    const QImage& PictureImage() const;
    bool HasPicture() const { return Picture_ && !Picture_->Empty(); }
    void ReleasePicture();

    int PictureWidth() const { return PictureWidth_; }
    void SetPictureWidth(int v) { PictureWidth_ = v; }
    int PictureHeight() const { return PictureHeight_; }
    void SetPictureHeight(int v) { PictureHeight_ = v; }
    TDateTime PictureDate() const { return PictureDate_; }
    void SetPictureDate(TDateTime v) { PictureDate_ = v; }
    long double Ratio() const { return Ratio_; }
    void SetRatio(long double v) { Ratio_ = v; }
    int Rotation() const { return Rotation_; }
    void SetRotation(int v) { Rotation_ = v; }
    bool TextBox() const { return TextBox_; }
    void SetTextBox(bool v);
    int CanvasPPI() const { return CanvasPPI_; }
    void SetCanvasPPI(int v);
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment v);
    QStringList Lines() const { return Lines_; }
    // Always repaints.
    void SetLines(const QStringList& v);
    TRectBox* LinkChild() const { return LinkChild_; }
    void SetLinkChild(TRectBox* v) { LinkChild_ = v; }
    TRectBox* LinkParent() const { return LinkParent_; }
    void SetLinkParent(TRectBox* v) { LinkParent_ = v; }
    int Tag() const { return Tag_; }
    void SetTag(int v) { Tag_ = v; }

    // Left, Top, Width and Height: the box on its page, in page pixels.
    // A geometry given to the widget itself (at zoom 1 the same numbers) is
    // taken as the box's bounds.
    QRect Bounds() const;
    void SetBounds(const QRect& bounds);
    int Left() const { return Bounds().left(); }
    int Top() const { return Bounds().top(); }
    int Width() const { return Bounds().width(); }
    int Height() const { return Bounds().height(); }
    // Screen pixels per page pixel: its page's scale.
    double ViewScale() const;
    // Puts the widget where the bounds are at the page's scale.
    void Place();

    // Unfocuses every box of the owner, this one included.
    void UnfocusAll();

    // The font the text is drawn with on the page: pixel size S x CanvasPPI / 72.
    QFont PageFont() const;
    // Where the text goes and where the frame runs on the screen, for the current size.
    QRect TextArea() const;
    QRect FrameRect() const;
    TDragMode DragMode() const { return DragMode_; }

signals:
    void FocusChanged(TRectBox* sender);
    void OnPaint(TRectBox* sender, QPainter* canvas, QRect& rect);
    void OnResize(TRectBox* sender);
    void OnClick(TRectBox* sender);
    void OnDblClick(TRectBox* sender);
    void OnMouseDown(TRectBox* sender, Qt::MouseButton button, QPoint position);
    void OnMouseUp(TRectBox* sender, Qt::MouseButton button, QPoint position);
    // A drag enters or moves over the box; set accept to take it.
    void OnDragOver(TRectBox* sender, const QMimeData* data, bool& accept);
    void OnDragDrop(TRectBox* sender, const QMimeData* data, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int Inset() const;
    double RatioAsDouble() const { return double(Ratio_); }
    void SetRatioFromDouble(double v) { Ratio_ = v; }

    QObject* Owner_;
    bool AutoForeGround_ = true;
    bool AutoSize_ = false;
    TFrameType FrameType_ = TFrameType::ftOuter;
    bool HidePassiveFrame_ = false;
    QString Caption_;
    QString FileName_;
    bool Proportionate_ = false;
    int BoxSize_ = 5;
    QColor BoxColor_ = Qt::black;
    QColor ActiveFrameColor_ = QColor(255, 0, 0);
    QColor PassiveFrameColor_ = QColor(128, 128, 128);
    bool DrawFrame_ = true;
    bool DrawBoxes_ = true;
    bool ShowPos_ = false;
    bool ShowSize_ = false;
    QColor InfoTextColor_ = Qt::black;
    bool Focus_ = false;
    QFont Font_;
    QColor FontColor_ = Qt::black;
    std::shared_ptr<const TBitmap> Picture_;
    mutable QImage PictureImage_;
    mutable bool PictureImageValid_ = false;
    int PictureWidth_ = 0;
    int PictureHeight_ = 0;
    TDateTime PictureDate_ = 0;
    long double Ratio_ = 0;
    int Rotation_ = 0;
    bool TextBox_ = false;
    int CanvasPPI_ = 0;
    TAlignment Alignment_ = TAlignment::taCenter;
    QStringList Lines_;
    QPointer<TRectBox> LinkChild_;
    QPointer<TRectBox> LinkParent_;
    int Tag_ = 0;

    mutable QRect Bounds_;
    mutable QRect Placed_; // the widget geometry Bounds_ was shown at
    mutable bool HasBounds_ = false;

    TDragMode DragMode_ = TDragMode::None;
    QPoint Press_{-1, -1};
    bool Pressed_ = false;
};

} // namespace tessaria
