#pragma once
// The "Arrange" dialog: what to arrange (the files selected in the list or the
// pictures of the current page), the grid (a preset number per page, or
// columns and rows), the gap in millimetres or inches, and the captions. A
// small drawing shows the grid on the page's shape.

#include <QDialog>
#include <QSize>

#include "layout/arrangegrid.h"

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tessaria {

class TGridPicture;

class TfrmArrange : public QDialog {
    Q_OBJECT
public:
    explicit TfrmArrange(QWidget* parent = nullptr);

    QGroupBox* rgWhat;
    QRadioButton* rbSelectedFiles;
    QRadioButton* rbPagePictures;
    QComboBox* cbPerPage;
    QSpinBox* seColumns;
    QSpinBox* seRows;
    QDoubleSpinBox* seGap;
    QComboBox* cbGapUnit;
    QGroupBox* rgCaptions;
    QButtonGroup* rgCaptionsButtons;
    QLabel* txtRoom;
    TGridPicture* pbGrid;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

    // Set before showing: how many files and page pictures there are, the
    // page's size and scale, and the choices to start from.
    void Prepare(int selectedFiles, int pagePictures, const QSize& page, int layoutPPI,
                 const TArrangeSettings& settings);
    TArrangeSettings Settings() const;
    // The files of the list are arranged; otherwise the page's pictures.
    bool SelectedFilesChosen() const;
    // Whether the grid leaves room for pictures with this gap on this page.
    bool HasRoom() const;

private:
    void GridChanged();
    void PresetChosen();
    void UnitChosen();
    double GapMillimetres() const;
    void ShowGap(bool inches, double millimetres);
    TGridLayout Layout() const;

    QSize Page_;
    int LayoutPPI_ = 0;
    bool Updating_ = false;
    bool ShownInInches_ = false;
};

// Draws the page's shape with its cells, a caption band under each picture
// when captions are chosen.
class TGridPicture : public QWidget {
    Q_OBJECT
public:
    explicit TGridPicture(QWidget* parent = nullptr);
    void SetLayout(const TGridLayout& layout);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TGridLayout Layout_;
};

} // namespace tessaria
