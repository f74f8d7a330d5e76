#pragma once
// The preview window: the engine's recorded pages one at a time as a white
// sheet on grey, zoomed from a list or with the zoom tool, panned with the
// hand tool, with page navigation and printing through the print dialog.

#include <QCursor>
#include <QDialog>
#include <QPoint>

#include "print/previewlayout.h"

class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace tessaria {

class TPreviewPrinter;
class TPreviewPaintBox;

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    explicit TPreviewForm(TPreviewPrinter& engine, QWidget* parent = nullptr);
    ~TPreviewForm() override;

    // Tool bar.
    QWidget* ToolBarPanel;
    QToolButton* ZoomCursorBut;
    QToolButton* HandCursorBut;
    QToolButton* FitPageBut;
    QToolButton* FitWidthBut;
    QPushButton* PrintBut;
    QPushButton* NextPageBut;
    QPushButton* PrevPageBut;
    QPushButton* CloseBut;
    QComboBox* ZoomBox;
    // Status panel.
    QFrame* StatBarPanel;
    QLabel* CurPageLabel;
    QLabel* ZoomLabel;
    QToolButton* FirstPageSpeed;
    QToolButton* PrevPageSpeed;
    QToolButton* NextPageSpeed;
    QToolButton* LastPageSpeed;
    QToolButton* PageNumSpeed;
    // The page.
    QScrollArea* ScrollBox1;
    QWidget* ContainPanel;
    QFrame* PagePanel;
    TPreviewPaintBox* PB1;

    int CurrentPage() const { return CurrentPage_; }
    double Zoom() const { return Zoom_; }
    const TPreviewPrinter& Engine() const { return Engine_; }

    // What the window does on being shown: page 1, "Fit To Width".
    void FormShow();
    void ShowPage(int page);
    void UpdateButtons();
    void LayOut();
    void ZoomBoxChange();
    void FitPageButClick();
    void FitWidthButClick();
    void NextPageButClick();
    void PrevPageButClick();
    void FirstPageSpeedClick();
    void LastPageSpeedClick();
    void PageNumSpeedClick();
    void PrintButClick();
    void ZoomCursorButClick();
    void HandCursorButClick();
    // The paint box's mouse, in its own coordinates.
    void PB1MouseDown(Qt::MouseButton button, QPoint at);
    void PB1MouseMove(QPoint at);
    void PB1MouseUp();

    // The magnifier the zoom tool shows.
    static QCursor ZoomCursor();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TZoomInputs ZoomInputs() const;
    void ChooseZoomEntry(int index);

    TPreviewPrinter& Engine_;
    int CurrentPage_ = 0;
    double Zoom_ = 1.0;
    QPoint PanStart_;
    bool Panning_ = false;
    bool Shown_ = false;
};

// The paint box on the page panel: replays the current page over its whole area.
class TPreviewPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewPaintBox(TPreviewForm& form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TPreviewForm& Form_;
};

} // namespace tessaria
