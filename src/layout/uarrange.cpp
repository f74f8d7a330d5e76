#include "layout/uarrange.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace tessaria {

namespace {

constexpr double MillimetresPerInch = 25.4;
constexpr double MaxGapMillimetres = 50;

template <class T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TfrmArrange::TfrmArrange(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmArrange");
    setWindowTitle("Arrange");

    rgWhat = Named(new QGroupBox(" Arrange ", this), "rgWhat");
    rbSelectedFiles = Named(new QRadioButton(rgWhat), "rbSelectedFiles");
    rbPagePictures = Named(new QRadioButton(rgWhat), "rbPagePictures");
    auto* whatLayout = new QVBoxLayout(rgWhat);
    whatLayout->addWidget(rbSelectedFiles);
    whatLayout->addWidget(rbPagePictures);

    cbPerPage = Named(new QComboBox(this), "cbPerPage");
    for (const TGridPreset& preset : GridPresets)
        cbPerPage->addItem(QString::number(preset.PerPage), preset.PerPage);
    seColumns = Named(new QSpinBox(this), "seColumns");
    seRows = Named(new QSpinBox(this), "seRows");
    for (QSpinBox* side : {seColumns, seRows})
        side->setRange(1, MaxGridSide);
    seGap = Named(new QDoubleSpinBox(this), "seGap");
    cbGapUnit = Named(new QComboBox(this), "cbGapUnit");
    cbGapUnit->addItems({"mm", "in"});
    auto* gapRow = new QHBoxLayout;
    gapRow->addWidget(seGap, 1);
    gapRow->addWidget(cbGapUnit);
    auto* sidesRow = new QHBoxLayout;
    sidesRow->addWidget(seColumns);
    sidesRow->addWidget(new QLabel("x", this));
    sidesRow->addWidget(seRows);
    sidesRow->addStretch(1);

    auto* gridBox = Named(new QGroupBox(" Grid ", this), "rgGrid");
    auto* form = new QFormLayout(gridBox);
    form->addRow("Pictures per page", cbPerPage);
    form->addRow("Columns x rows", sidesRow);
    form->addRow("Gap", gapRow);

    rgCaptions = Named(new QGroupBox(" Captions ", this), "rgCaptions");
    rgCaptionsButtons = new QButtonGroup(rgCaptions);
    auto* captionsLayout = new QVBoxLayout(rgCaptions);
    const char* captions[] = {"None", "Filename", "Filename, Size and Date"};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(captions[i], rgCaptions);
        rgCaptionsButtons->addButton(button, i);
        captionsLayout->addWidget(button);
    }

    pbGrid = Named(new TGridPicture(this), "pbGrid");
    txtRoom = Named(new QLabel(this), "txtRoom");
    txtRoom->setWordWrap(true);
    txtRoom->setStyleSheet("color: #a00000");

    BtnOK = Named(new QPushButton("Arrange", this), "BtnOK");
    BtnCancel = Named(new QPushButton("Cancel", this), "BtnCancel");
    BtnOK->setDefault(true);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(rgWhat);
    left->addWidget(gridBox);
    left->addWidget(rgCaptions);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(pbGrid, 1);
    right->addWidget(txtRoom);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    auto* all = new QVBoxLayout(this);
    all->addLayout(columns, 1);
    all->addLayout(buttons);

    ShowGap(false, DefaultArrangeGapMillimetres);
    connect(cbPerPage, &QComboBox::activated, this, [this] { PresetChosen(); });
    for (QSpinBox* side : {seColumns, seRows})
        connect(side, &QSpinBox::valueChanged, this, [this] { GridChanged(); });
    connect(seGap, &QDoubleSpinBox::valueChanged, this, [this] { GridChanged(); });
    connect(cbGapUnit, &QComboBox::currentIndexChanged, this, [this] { UnitChosen(); });
    connect(rgCaptionsButtons, &QButtonGroup::idClicked, this, [this] { GridChanged(); });
}

void TfrmArrange::Prepare(int selectedFiles, int pagePictures, const QSize& page, int layoutPPI,
                          const TArrangeSettings& s)
{
    Page_ = page;
    LayoutPPI_ = layoutPPI;
    Updating_ = true;
    rbSelectedFiles->setText(selectedFiles == 0   ? QStringLiteral("The files selected in the list (none)")
                             : selectedFiles == 1 ? QStringLiteral("The file selected in the list")
                                                  : QStringLiteral("The %1 files selected in the list").arg(selectedFiles));
    rbPagePictures->setText(pagePictures == 0   ? QStringLiteral("The pictures of this page (none)")
                            : pagePictures == 1 ? QStringLiteral("The picture of this page")
                                                : QStringLiteral("The %1 pictures of this page").arg(pagePictures));
    rbSelectedFiles->setEnabled(selectedFiles > 0);
    rbPagePictures->setEnabled(pagePictures > 0);
    // Several files chosen in the list are what the user means; one file
    // selected in passing gives way to a page that has pictures.
    const bool files = selectedFiles > 1 || (selectedFiles == 1 && pagePictures == 0);
    (files ? rbSelectedFiles : rbPagePictures)->setChecked(true);
    seColumns->setValue(s.Grid.Columns);
    seRows->setValue(s.Grid.Rows);
    cbGapUnit->setCurrentIndex(s.GapInInches ? 1 : 0);
    ShowGap(s.GapInInches, s.GapMillimetres);
    Updating_ = false;
    if (QAbstractButton* button = rgCaptionsButtons->button(int(s.Captions)))
        button->setChecked(true);
    GridChanged();
}

TArrangeSettings TfrmArrange::Settings() const
{
    TArrangeSettings s;
    s.Grid = {seColumns->value(), seRows->value()};
    s.GapInInches = ShownInInches_;
    s.GapMillimetres = GapMillimetres();
    const int caption = rgCaptionsButtons->checkedId();
    s.Captions = caption == 1 ? TAutoCaption::Filename
                 : caption == 2 ? TAutoCaption::FilenameSizeAndDate
                                : TAutoCaption::None;
    return s;
}

bool TfrmArrange::SelectedFilesChosen() const { return rbSelectedFiles->isChecked() && rbSelectedFiles->isEnabled(); }

TGridLayout TfrmArrange::Layout() const
{
    const TArrangeSettings s = Settings();
    TGridLayout layout;
    layout.Page = Page_;
    layout.Grid = s.Grid;
    layout.Gap = MillimetresToPagePixels(s.GapMillimetres, LayoutPPI_);
    return layout;
}

bool TfrmArrange::HasRoom() const { return GridHasRoom(Layout()); }

void TfrmArrange::GridChanged()
{
    if (Updating_)
        return;
    const TGridSize grid{seColumns->value(), seRows->value()};
    const int preset = cbPerPage->findData(grid.PerPage());
    // The preset shows only while the grid is the one it gives on this page.
    const std::optional<TGridSize> offered = PresetGrid(grid.PerPage(), Page_.width() > Page_.height());
    cbPerPage->setCurrentIndex(offered && *offered == grid ? preset : -1);
    TGridLayout layout = Layout();
    // The drawing shows a band of about a line where captions will go.
    if (Settings().Captions != TAutoCaption::None)
        layout.CaptionHeight = std::max(1, int(GridCell(layout, 0).height() / 8));
    pbGrid->SetLayout(layout);
    const bool room = HasRoom();
    txtRoom->setText(room ? QString() : QStringLiteral("The gap leaves no room for the pictures."));
    BtnOK->setEnabled(room && (rbSelectedFiles->isEnabled() || rbPagePictures->isEnabled()));
}

void TfrmArrange::PresetChosen()
{
    const std::optional<TGridSize> grid = PresetGrid(cbPerPage->currentData().toInt(), Page_.width() > Page_.height());
    if (!grid)
        return;
    Updating_ = true;
    seColumns->setValue(grid->Columns);
    seRows->setValue(grid->Rows);
    Updating_ = false;
    GridChanged();
}

void TfrmArrange::UnitChosen()
{
    if (Updating_)
        return;
    ShowGap(cbGapUnit->currentIndex() == 1, GapMillimetres());
    GridChanged();
}

double TfrmArrange::GapMillimetres() const { return ShownInInches_ ? seGap->value() * MillimetresPerInch : seGap->value(); }

void TfrmArrange::ShowGap(bool inches, double millimetres)
{
    const QSignalBlocker quiet(seGap);
    ShownInInches_ = inches;
    seGap->setDecimals(inches ? 2 : 1);
    seGap->setSingleStep(inches ? 0.05 : 0.5);
    seGap->setRange(0, inches ? MaxGapMillimetres / MillimetresPerInch : MaxGapMillimetres);
    seGap->setValue(inches ? millimetres / MillimetresPerInch : millimetres);
}

TGridPicture::TGridPicture(QWidget* parent) : QWidget(parent) { setMinimumSize(160, 200); }

void TGridPicture::SetLayout(const TGridLayout& layout)
{
    Layout_ = layout;
    update();
}

void TGridPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QSize page = Layout_.Page;
    if (page.isEmpty())
        return;
    // The page scaled into the drawing with a margin for its shadow.
    const double scale = std::min((width() - 12.0) / page.width(), (height() - 12.0) / page.height());
    const QSizeF shown(page.width() * scale, page.height() * scale);
    const QPointF origin((width() - shown.width()) / 2, (height() - shown.height()) / 2);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(QRectF(origin + QPointF(3, 3), shown), QColor(128, 128, 128));
    painter.fillRect(QRectF(origin, shown), Qt::white);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(QRectF(origin, shown));
    if (!GridHasRoom(Layout_))
        return;
    auto map = [&](const QRect& r) {
        return QRectF(origin.x() + r.x() * scale, origin.y() + r.y() * scale, r.width() * scale, r.height() * scale);
    };
    for (int cell = 0; cell < Layout_.Grid.PerPage(); ++cell) {
        const QRect area = GridCell(Layout_, cell);
        painter.setPen(QPen(QColor(190, 190, 190), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(map(area));
        // A photo of the usual 3:2 shape, fitted and centred as a real one will be.
        const TCellPlacement p = PlaceInCell(area, 2.0 / 3.0, Layout_.CaptionHeight);
        painter.fillRect(map(p.Picture), QColor(120, 150, 190));
        if (!p.Caption.isEmpty()) {
            const QRectF band = map(p.Caption);
            painter.fillRect(band.adjusted(band.width() * 0.15, band.height() * 0.3, -band.width() * 0.15,
                                           -band.height() * 0.3),
                             QColor(90, 90, 90));
        }
    }
}

} // namespace tessaria
