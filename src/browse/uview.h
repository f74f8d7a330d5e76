#pragma once
// The image viewer window: one picture, larger than the preview pane, in a
// window that stays above the others. Its picture fills the client area and
// is drawn stretched; the window is sized from outside (frame included).

#include <QSize>
#include <QWidget>

namespace tessaria {

class TImage;

class TfrmView : public QWidget {
    Q_OBJECT
public:
    explicit TfrmView(QWidget* parent = nullptr);

    TImage* Image1 = nullptr;

    // The size with frame and caption.
    QSize OuterSize() const;
    // Gives the window this outer size; while the frame is not known yet
    // (before the window manager framed it) it is applied again once it is.
    void SetOuterSize(QSize size);

    // Shows the window; the first time at the centre of the screen.
    void ShowPlaced();
    // The file shown: its name goes into the caption after "View".
    void SetFileName(const QString& path);

    void FormClose();
    void FormMouseDown();
    void FormMouseUp();

signals:
    // A mouse button came up on the window's own surface at another size than
    // it went down: the sizes before and after.
    void ResizedByUser(QSize before, QSize after);
    // A key asked for the next (+1) or the previous (-1) file of the list.
    void Step(int direction);

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSize FrameExtra() const;

    QSize Wanted_;
    QSize AppliedFrame_;
    QSize DownSize_;
    bool Placed_ = false;
};

// The viewer window, once created at start-up.
extern TfrmView* frmView;

} // namespace tessaria
