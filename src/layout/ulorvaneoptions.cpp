#include "layout/ulorvaneoptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "print/core/filters.h"

namespace tessaria {

namespace {

// The eleven types of old, then those read through their own libraries.
const char* const FileTypes[] = {"bmp", "jpg", "tif", "gif", "ico", "wmf", "tga", "pcd",
                                 "pcx", "psd", "pdd", "png", "webp", "heic", "heif", "avif"};
const bool FileTypeTicked[] = {true, true, true, true, false, false, false, false,
                               false, false, false, true, true, true, true, true};
const bool FileTypeVisible[] = {true, true, true, true, false, false, true, true,
                                true, true, true, true, true, true, true, true};

QGroupBox* RadioGroup(QWidget* parent, const QString& name, const QString& caption, const QStringList& items,
                      QButtonGroup*& buttons)
{
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(name);
    auto* layout = new QVBoxLayout(group);
    buttons = new QButtonGroup(group);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], group);
        radio->setObjectName(name + QString::number(i));
        buttons->addButton(radio, i);
        layout->addWidget(radio);
    }
    return group;
}

} // namespace

bool SizeEditAcceptsKey(int key, const QString& text)
{
    if (key == Qt::Key_Backspace)
        return true;
    if (text.isEmpty() || !text[0].isPrint())
        return true; // not a character: navigation and editing keys pass
    return text == "." || (text.size() == 1 && text[0] >= '0' && text[0] <= '9');
}

TfrmLorvaneOptions::TfrmLorvaneOptions(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("frmLorvaneOptions");
    setWindowTitle("Tessaria Options");
    setFixedSize(305, 329);
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    layout->addWidget(PageControl1, 1);

    // Image.
    auto* image = new QWidget;
    image->setObjectName("TabImage");
    auto* imageLayout = new QVBoxLayout(image);
    auto* sizes = new QFormLayout;
    txtHeight = new QLineEdit("4.0", image);
    txtHeight->setObjectName("txtHeight");
    txtWidth = new QLineEdit("6.0", image);
    txtWidth->setObjectName("txtWidth");
    txtWidth->setEnabled(false);
    sizes->addRow("Height", txtHeight);
    sizes->addRow("Width", txtWidth);
    imageLayout->addLayout(sizes);
    cbMaintainProportion = new QCheckBox("Maintain Proportion", image);
    cbMaintainProportion->setObjectName("cbMaintainProportion");
    cbMaintainProportion->setChecked(true);
    imageLayout->addWidget(cbMaintainProportion);
    rbAutoCaption = RadioGroup(image, "rbAutoCaption", " Auto-Caption Options ",
                               {"None", "Filename", "Filename, Size and Date"}, rbAutoCaptionButtons);
    rbAutoCaptionButtons->button(0)->setChecked(true);
    imageLayout->addWidget(rbAutoCaption);
    // Beyond the dialog of old: photos upright in the browser and when placed.
    cbTurnByOrientation = new QCheckBox("Turn photos by their camera orientation", image);
    cbTurnByOrientation->setObjectName("cbTurnByOrientation");
    cbTurnByOrientation->setChecked(true);
    imageLayout->addWidget(cbTurnByOrientation);
    cbShowGrid = new QCheckBox("Show Grid", image);
    cbShowGrid->setObjectName("cbShowGrid");
    cbShowGrid->setChecked(true);
    cbShowGrid->setVisible(false);
    imageLayout->addWidget(cbShowGrid);
    imageLayout->addStretch();
    PageControl1->addTab(image, "Image");

    // Printer.
    auto* printer = new QWidget;
    printer->setObjectName("TabPrinter");
    auto* printerLayout = new QVBoxLayout(printer);
    auto* choices = new QFormLayout;
    cbDPI = new QComboBox(printer);
    cbDPI->setObjectName("cbDPI");
    cbDPI->setEditable(true); // a typed resolution is used as it stands
    cbDPI->addItems({"160", "200", "240"});
    cbDPI->setCurrentIndex(1);
    cbFilterBox = new QComboBox(printer);
    cbFilterBox->setObjectName("cbFilterBox");
    for (const TFilterInfo& filter : Filters)
        cbFilterBox->addItem(QString::fromLatin1(filter.Name));
    cbFilterBox->setCurrentIndex(5);
    choices->addRow("DPI Interpolation", cbDPI);
    choices->addRow("Sampling Method", cbFilterBox);
    printerLayout->addLayout(choices);
    rgOrientation = RadioGroup(printer, "rgOrientation", " Orientation ", {"Portrait", "Landscape"},
                               rgOrientationButtons);
    rgOrientationButtons->button(0)->setChecked(true);
    printerLayout->addWidget(rgOrientation);
    cbPrintInfo = new QCheckBox("Print Info in Footer", printer);
    cbPrintInfo->setObjectName("cbPrintInfo");
    printerLayout->addWidget(cbPrintInfo);
    auto* bevel = new QFrame(printer);
    bevel->setObjectName("Bevel1");
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);
    auto* bevelLayout = new QVBoxLayout(bevel);
    txtSelectedPrinter = new QLabel(bevel);
    txtSelectedPrinter->setObjectName("txtSelectedPrinter");
    HPC = new QLabel(bevel);
    HPC->setObjectName("HPC");
    VPC = new QLabel(bevel);
    VPC->setObjectName("VPC");
    for (QLabel* l : {txtSelectedPrinter, HPC, VPC})
        bevelLayout->addWidget(l);
    printerLayout->addWidget(bevel);
    printerLayout->addStretch();
    PageControl1->addTab(printer, "Printer");

    // File types.
    auto* types = new QWidget;
    types->setObjectName("TabFileTypes");
    auto* typesLayout = new QVBoxLayout(types);
    for (size_t i = 0; i < std::size(FileTypes); ++i) {
        auto* box = new QCheckBox(FileTypes[i], types);
        box->setObjectName(QStringLiteral("cbFileType%1").arg(int(i) + 1));
        box->setProperty("Tag", 1);
        box->setChecked(FileTypeTicked[i]);
        box->setVisible(FileTypeVisible[i]);
        typesLayout->addWidget(box);
        FileTypeBoxes << box;
    }
    typesLayout->addStretch();
    PageControl1->addTab(types, "File Types");

    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    layout->addWidget(BtnOK, 0, Qt::AlignRight);

    txtHeight->installEventFilter(this);
    txtWidth->installEventFilter(this);
    connect(BtnOK, &QPushButton::clicked, this, &TfrmLorvaneOptions::BtnOKClick);
    connect(cbMaintainProportion, &QCheckBox::clicked, this, &TfrmLorvaneOptions::cbMaintainProportionClick);
    connect(rgOrientationButtons, &QButtonGroup::idClicked, this, [this](int id) { emit OrientationChanged(id); });
    connect(cbPrintInfo, &QCheckBox::clicked, this, [this](bool ticked) { emit PrintInfoChanged(ticked); });
    connect(cbShowGrid, &QCheckBox::clicked, this, [this](bool ticked) { emit ShowGridChanged(ticked); });
}

TAutoCaption TfrmLorvaneOptions::AutoCaption() const
{
    const int id = rbAutoCaptionButtons->checkedId();
    return id == 1 ? TAutoCaption::Filename : id == 2 ? TAutoCaption::FilenameSizeAndDate : TAutoCaption::None;
}

void TfrmLorvaneOptions::SetAutoCaption(TAutoCaption mode) { rbAutoCaptionButtons->button(int(mode))->setChecked(true); }

int TfrmLorvaneOptions::OrientationIndex() const { return rgOrientationButtons->checkedId(); }

void TfrmLorvaneOptions::SetOrientationIndex(int index)
{
    if (QAbstractButton* b = rgOrientationButtons->button(index))
        b->setChecked(true);
}

void TfrmLorvaneOptions::Prepare(int layoutOrientation, const QString& fileMask)
{
    SetOrientationIndex(layoutOrientation);
    ChecksFromFileMask(fileMask);
}

void TfrmLorvaneOptions::ChecksFromFileMask(const QString& mask)
{
    for (QCheckBox* box : findChildren<QCheckBox*>())
        if (box->property("Tag").toInt() == 1)
            box->setChecked(mask.contains(box->text(), Qt::CaseSensitive));
}

QString TfrmLorvaneOptions::FileMaskFromChecks() const
{
    QStringList captions;
    std::vector<bool> ticked;
    for (const QCheckBox* box : FileTypeBoxes)
        if (box->objectName().startsWith("cbFileType")) {
            captions << box->text();
            ticked.push_back(box->isChecked());
        }
    return tessaria::FileMaskFromChecks(captions, ticked);
}

void TfrmLorvaneOptions::BtnOKClick()
{
    FileMask_ = FileMaskFromChecks();
    accept();
}

void TfrmLorvaneOptions::reject() { BtnOKClick(); }

void TfrmLorvaneOptions::cbMaintainProportionClick()
{
    txtWidth->setEnabled(!cbMaintainProportion->isChecked());
    emit ProportionChanged(cbMaintainProportion->isChecked());
}

bool TfrmLorvaneOptions::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == txtHeight || watched == txtWidth) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !SizeEditAcceptsKey(key->key(), key->text()))
            return true; // dropped
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tessaria
