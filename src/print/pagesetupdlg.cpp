#include "print/pagesetupdlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "base/convert.h"
#include "base/exceptions.h"
#include "base/format.h"
#include "platform/dialogs.h"
#include "platform/errorbox.h"
#include "platform/fontdialog.h"
#include "platform/formsettings.h"
#include "platform/printers.h"
#include "print/prevprinter.h"

namespace tessaria {

namespace {

QRadioButton* Radio(QWidget* parent, const QString& name, const QString& caption, int tag)
{
    auto* b = new QRadioButton(caption, parent);
    b->setObjectName(name);
    b->setProperty("Tag", tag);
    return b;
}

QLineEdit* Edit(QWidget* parent, const QString& name, int width)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setFixedWidth(width);
    return e;
}

QLabel* Label(QWidget* parent, const QString& name, const QString& caption, QWidget* buddy)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// A row of radio buttons that exclude each other only among themselves.
QWidget* RadioRow(QWidget* parent, const QString& name, std::initializer_list<QRadioButton*> buttons, bool vertical)
{
    auto* row = new QWidget(parent);
    row->setObjectName(name);
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(row)) : new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QRadioButton* b : buttons) {
        b->setParent(row);
        layout->addWidget(b);
    }
    if (!vertical)
        layout->addStretch(1);
    return row;
}

QFrame* Shape(QWidget* parent, const QString& name, int width, int height)
{
    auto* s = new QFrame(parent);
    s->setObjectName(name);
    s->setFixedSize(width, height);
    s->setFrameShape(QFrame::Box);
    s->setLineWidth(1);
    s->setAutoFillBackground(true);
    QPalette p = s->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    s->setPalette(p);
    return s;
}

TAlignment AlignmentOfTag(int tag)
{
    switch (tag) {
    case 1: return TAlignment::taRightJustify;
    case 2: return TAlignment::taCenter;
    default: return TAlignment::taLeftJustify;
    }
}

TPrintPageNumber PageNumberOfTag(int tag)
{
    switch (tag) {
    case 1: return TPrintPageNumber::pnTop;
    case 2: return TPrintPageNumber::pnNone;
    default: return TPrintPageNumber::pnBottom;
    }
}

// Restores SaveValues however the save ends.
class TSaveValuesForOneSave {
public:
    explicit TSaveValuesForOneSave(TFormSettings& settings) : Settings_(settings), Previous_(settings.SaveValues())
    {
        Settings_.SetSaveValues(true);
    }
    ~TSaveValuesForOneSave() { Settings_.SetSaveValues(Previous_); }
    TSaveValuesForOneSave(const TSaveValuesForOneSave&) = delete;
    TSaveValuesForOneSave& operator=(const TSaveValuesForOneSave&) = delete;

private:
    TFormSettings& Settings_;
    bool Previous_;
};

} // namespace

QString FormatMargin(double value)
{
    const std::string plain = Format("%.3f", value);
    size_t start = plain.front() == '-' ? 1 : 0;
    size_t point = plain.find('.');
    if (point == std::string::npos)
        point = plain.size();
    for (size_t i = start; i < point; ++i)
        if (plain[i] < '0' || plain[i] > '9')
            return QString::fromStdString(plain); // inf, nan
    std::string out = plain.substr(0, start);
    const size_t digits = point - start;
    for (size_t i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0)
            out += ',';
        out += plain[start + i];
    }
    out += plain.substr(point);
    return QString::fromStdString(out);
}

double MarginFromText(const QString& text)
{
    // The dialog writes 1234.5 as "1,234.500"; reading its own text back
    // must not fail.
    static const QRegularExpression grouped(QStringLiteral("^ *[+-]?[1-9]\\d{0,2}(,\\d{3})+(\\.\\d*)? *$"));
    QString t = text;
    if (grouped.match(t).hasMatch())
        t.remove(',');
    double value = 0;
    if (TryStrToFloat(t.toStdString(), value))
        return value;
    return StrToFloat(text.toStdString()); // raises with the text as typed
}

QString FontCaption(const QFont& font)
{
    return QString::fromStdString(Format("%s %d pt", font.family().toStdString().c_str(), font.pointSize()));
}

int CheckedTag(std::initializer_list<QRadioButton*> group)
{
    for (QRadioButton* b : group)
        if (b->isChecked())
            return b->property("Tag").toInt();
    return 0;
}

void CheckTag(std::initializer_list<QRadioButton*> group, int tag)
{
    for (QRadioButton* b : group)
        if (b->property("Tag").toInt() == tag) {
            b->setChecked(true);
            return;
        }
}

TPageSetupForm::TPageSetupForm(TPreviewPrinter& engine, QWidget* parent)
    : QDialog(parent), Engine_(engine), Options_(*engine.TextOptions())
{
    setObjectName("PageSetupForm");
    setWindowTitle("Page Setup");
    CreateComponents();

    FormSettings1 = new TFormSettings(this, "FormSettings1");
    FormSettings1->SetSavePosition(true);
    FormSettings1->SetLoadValues(true);
    FormSettings1->SetSaveValues(false);
    FormSettings1->Loaded();
}

TPageSetupForm::~TPageSetupForm() = default;

void TPageSetupForm::CreateComponents()
{
    auto* top = new QVBoxLayout(this);
    top->setSizeConstraint(QLayout::SetFixedSize);
    auto* columns = new QHBoxLayout;
    top->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    // Margins and their unit.
    PageMarginGroup = new QGroupBox("Page Margins", this);
    PageMarginGroup->setObjectName("PageMarginGroup");
    InchBut = Radio(PageMarginGroup, "InchBut", "&Inches", 0);
    CentBut = Radio(PageMarginGroup, "CentBut", "&Centimeters", 1);
    InchBut->setChecked(true);
    LeftEdit = Edit(PageMarginGroup, "LeftEdit", 70);
    RightEdit = Edit(PageMarginGroup, "RightEdit", 70);
    TopEdit = Edit(PageMarginGroup, "TopEdit", 70);
    BotEdit = Edit(PageMarginGroup, "BotEdit", 70);
    {
        auto* g = new QGridLayout(PageMarginGroup);
        g->addWidget(RadioRow(PageMarginGroup, "UnitsPanel", {InchBut, CentBut}, false), 0, 0, 1, 4);
        g->addWidget(Label(PageMarginGroup, "LeftLabel", "&Left", LeftEdit), 1, 0);
        g->addWidget(LeftEdit, 1, 1);
        g->addWidget(Label(PageMarginGroup, "RightLabel", "&Right", RightEdit), 1, 2);
        g->addWidget(RightEdit, 1, 3);
        g->addWidget(Label(PageMarginGroup, "TopLabel", "&Top", TopEdit), 2, 0);
        g->addWidget(TopEdit, 2, 1);
        g->addWidget(Label(PageMarginGroup, "BotLabel", "&Bottom", BotEdit), 2, 2);
        g->addWidget(BotEdit, 2, 3);
    }
    left->addWidget(PageMarginGroup);

    // Orientation, with a picture of the sheet.
    PageOrientGroup = new QGroupBox("Page Orientation", this);
    PageOrientGroup->setObjectName("PageOrientGroup");
    PortBut = Radio(PageOrientGroup, "PortBut", "&Portrait", 0);
    LandBut = Radio(PageOrientGroup, "LandBut", "Land&scape", 1);
    PortBut->setChecked(true);
    PortShape = Shape(PageOrientGroup, "PortShape", 56, 73);
    LandShape = Shape(PageOrientGroup, "LandShape", 73, 56);
    LandShape->hide();
    {
        auto* h = new QHBoxLayout(PageOrientGroup);
        h->addWidget(RadioRow(PageOrientGroup, "OrientPanel", {PortBut, LandBut}, true));
        auto* shapes = new QWidget(PageOrientGroup);
        shapes->setObjectName("ShapePanel");
        shapes->setFixedSize(80, 80);
        auto* s = new QGridLayout(shapes);
        s->setContentsMargins(0, 0, 0, 0);
        s->addWidget(PortShape, 0, 0, Qt::AlignCenter);
        s->addWidget(LandShape, 0, 0, Qt::AlignCenter);
        h->addWidget(shapes);
    }
    left->addWidget(PageOrientGroup);

    // Page number.
    PageNumGroup = new QGroupBox("Page Number Options", this);
    PageNumGroup->setObjectName("PageNumGroup");
    PageBotBut = Radio(PageNumGroup, "PageBotBut", "Bottom", 0);
    PageTopBut = Radio(PageNumGroup, "PageTopBut", "Top", 1);
    PageNoneBut = Radio(PageNumGroup, "PageNoneBut", "None", 2);
    PageLeftBut = Radio(PageNumGroup, "PageLeftBut", "Left", 0);
    PageCenterBut = Radio(PageNumGroup, "PageCenterBut", "Center", 2);
    PageRightBut = Radio(PageNumGroup, "PageRightBut", "Right", 1);
    PageNumEdit = Edit(PageNumGroup, "PageNumEdit", 150);
    PageNumFontBut = Button(PageNumGroup, "PageNumFontBut", "&Font...");
    PageNumFontDialog = new TFontDialog(this, "PageNumFontDialog");
    {
        auto* g = new QGridLayout(PageNumGroup);
        g->addWidget(RadioRow(PageNumGroup, "PagePosPanel", {PageBotBut, PageTopBut, PageNoneBut}, false), 0, 0, 1, 2);
        g->addWidget(RadioRow(PageNumGroup, "PageAlignPanel", {PageLeftBut, PageCenterBut, PageRightBut}, false), 1, 0, 1, 2);
        g->addWidget(Label(PageNumGroup, "PageNumLabel", "Page Number Text (%d = Page)", PageNumEdit), 2, 0, 1, 2);
        g->addWidget(PageNumEdit, 3, 0);
        g->addWidget(PageNumFontBut, 3, 1);
    }
    left->addWidget(PageNumGroup);

    // Header and footer.
    auto textGroup = [this](const QString& name, const QString& caption, QLineEdit*& textEdit, const QString& textName,
                            const QString& textCaption, QLineEdit*& marginEdit, const QString& marginName,
                            const QString& marginCaption, QRadioButton*& leftBut, QRadioButton*& centerBut,
                            QRadioButton*& rightBut, const QString& prefix, QPushButton*& fontBut,
                            const QString& fontButName) {
        auto* group = new QGroupBox(caption, this);
        group->setObjectName(name);
        textEdit = Edit(group, textName, 240);
        marginEdit = Edit(group, marginName, 70);
        leftBut = Radio(group, prefix + "LeftBut", "Left", 0);
        centerBut = Radio(group, prefix + "CenterBut", "Center", 2);
        rightBut = Radio(group, prefix + "RightBut", "Right", 1);
        fontBut = Button(group, fontButName, "&Font...");
        auto* g = new QGridLayout(group);
        g->addWidget(Label(group, textName + "Label", textCaption, textEdit), 0, 0);
        g->addWidget(textEdit, 0, 1, 1, 3);
        g->addWidget(Label(group, marginName + "Label", marginCaption, marginEdit), 1, 0);
        g->addWidget(marginEdit, 1, 1);
        g->addWidget(RadioRow(group, prefix + "AlignPanel", {leftBut, centerBut, rightBut}, false), 2, 0, 1, 3);
        g->addWidget(fontBut, 2, 3);
        return group;
    };
    HeaderGroup = textGroup("HeaderGroup", "Header Options", HeaderEdit, "HeaderEdit", "&Header", HdrMarginEdit,
                            "HdrMarginEdit", "Header &Margin", HdrLeftBut, HdrCenterBut, HdrRightBut, "Hdr", HdrFontBut,
                            "HdrFontBut");
    HeaderFontDialog = new TFontDialog(this, "HeaderFontDialog");
    FooterGroup = textGroup("FooterGroup", "Footer Options", FooterEdit, "FooterEdit", "&Footer", FtrMarginEdit,
                            "FtrMarginEdit", "Footer &Margin", FtrLeftBut, FtrCenterBut, FtrRightBut, "Ftr", FtrFontBut,
                            "FtrFontBut");
    FooterFontDialog = new TFontDialog(this, "FooterFontDialog");
    right->addWidget(HeaderGroup);
    right->addWidget(FooterGroup);
    right->addStretch(1);

    // Buttons.
    auto* buttons = new QHBoxLayout;
    PrinterSetupBut = Button(this, "PrinterSetupBut", "Printer &Setup...");
    SetDefaultBut = Button(this, "SetDefaultBut", "Set &Default");
    OKBut = Button(this, "OKBut", "OK");
    OKBut->setDefault(true);
    CancelBut = Button(this, "CancelBut", "Cancel");
    buttons->addWidget(PrinterSetupBut);
    buttons->addWidget(SetDefaultBut);
    buttons->addStretch(1);
    buttons->addWidget(OKBut);
    buttons->addWidget(CancelBut);
    top->addLayout(buttons);

    connect(OKBut, &QPushButton::clicked, this, [this] { RunCommand([this] { OKButClick(); }); });
    connect(CancelBut, &QPushButton::clicked, this, &QDialog::reject);
    connect(PageNumFontBut, &QPushButton::clicked, this, [this] { RunCommand([this] { PageNumFontButClick(); }); });
    connect(HdrFontBut, &QPushButton::clicked, this, [this] { RunCommand([this] { HdrFontButClick(); }); });
    connect(FtrFontBut, &QPushButton::clicked, this, [this] { RunCommand([this] { FtrFontButClick(); }); });
    for (QRadioButton* b : {PortBut, LandBut})
        connect(b, &QRadioButton::clicked, this, [this] { PortButClick(); });
    connect(PrinterSetupBut, &QPushButton::clicked, this, [this] { RunCommand([this] { PrinterSetupButClick(); }); });
    connect(SetDefaultBut, &QPushButton::clicked, this, [this] { RunCommand([this] { SetDefaultButClick(); }); });
}

int TPageSetupForm::Run()
{
    FillControls();
    return Dialogs().ExecModal(*this);
}

void TPageSetupForm::LoadDefaults()
{
    FillControls();
    FormSettings1->LoadSettings();
    // At start-up there is nobody to put a field right: a bad one must not
    // cost the others (nor stop a batch run).
    StoreControls(true);
}

void TPageSetupForm::FillControls()
{
    const TTextOptions& o = Options_;
    CheckTag({InchBut, CentBut}, Engine_.Units() == TUnits::unCentimeters ? 1 : 0);
    LeftEdit->setText(FormatMargin(o.MarginLeft()));
    RightEdit->setText(FormatMargin(o.MarginRight()));
    TopEdit->setText(FormatMargin(o.MarginTop()));
    BotEdit->setText(FormatMargin(o.MarginBottom()));
    HdrMarginEdit->setText(FormatMargin(o.HeaderMargin()));
    FtrMarginEdit->setText(FormatMargin(o.FooterMargin()));

    CheckTag({PortBut, LandBut}, Engine_.Orientation() == TPrinterOrientation::poLandscape ? 1 : 0);
    PortButClick();

    CheckTag({PageBotBut, PageTopBut, PageNoneBut}, int(o.PrintPageNumber()));
    CheckTag({PageLeftBut, PageCenterBut, PageRightBut}, int(o.PageNumAlign()));
    PageNumEdit->setText(o.PageNumText());

    const std::pair<TFontDialog*, QPushButton*> fonts[] = {
        {PageNumFontDialog, PageNumFontBut}, {HeaderFontDialog, HdrFontBut}, {FooterFontDialog, FtrFontBut}};
    const TPrintFont* values[] = {&o.PageNumFont(), &o.HeaderFont(), &o.FooterFont()};
    for (int i = 0; i < 3; ++i) {
        fonts[i].first->SetFont(values[i]->Font);
        fonts[i].first->SetColor(values[i]->Color);
        fonts[i].second->setText(FontCaption(values[i]->Font));
    }

    HeaderEdit->setText(o.Header());
    FooterEdit->setText(o.Footer());
    CheckTag({HdrLeftBut, HdrCenterBut, HdrRightBut}, int(o.HeaderAlign()));
    CheckTag({FtrLeftBut, FtrCenterBut, FtrRightBut}, int(o.FooterAlign()));
}

void TPageSetupForm::StoreControls(bool keepBadMargins)
{
    TTextOptions& o = Options_;
    QStringList bad;
    auto margin = [&](const QLineEdit* edit, double current) {
        if (!keepBadMargins)
            return MarginFromText(edit->text());
        try {
            return MarginFromText(edit->text());
        } catch (const EConvertError&) {
            bad << QStringLiteral("The stored page setup value %1 \"%2\" is not a number; %3 is used")
                       .arg(edit->objectName(), edit->text(), FormatMargin(current));
            return current;
        }
    };
    Engine_.SetUnits(CheckedTag({InchBut, CentBut}) == 1 ? TUnits::unCentimeters : TUnits::unInches);
    o.SetMarginLeft(margin(LeftEdit, o.MarginLeft()));
    o.SetMarginTop(margin(TopEdit, o.MarginTop()));
    o.SetMarginRight(margin(RightEdit, o.MarginRight()));
    o.SetMarginBottom(margin(BotEdit, o.MarginBottom()));
    Engine_.SetOrientation(CheckedTag({PortBut, LandBut}) == 1 ? TPrinterOrientation::poLandscape
                                                                : TPrinterOrientation::poPortrait);
    o.SetPrintPageNumber(PageNumberOfTag(CheckedTag({PageBotBut, PageTopBut, PageNoneBut})));
    o.SetPageNumAlign(AlignmentOfTag(CheckedTag({PageLeftBut, PageCenterBut, PageRightBut})));
    o.SetPageNumText(PageNumEdit->text());
    o.SetPageNumFont({PageNumFontDialog->Font(), PageNumFontDialog->Color()});
    o.SetHeader(HeaderEdit->text());
    o.SetHeaderMargin(margin(HdrMarginEdit, o.HeaderMargin()));
    o.SetHeaderAlign(AlignmentOfTag(CheckedTag({HdrLeftBut, HdrCenterBut, HdrRightBut})));
    o.SetHeaderFont({HeaderFontDialog->Font(), HeaderFontDialog->Color()});
    o.SetFooter(FooterEdit->text());
    o.SetFooterMargin(margin(FtrMarginEdit, o.FooterMargin()));
    o.SetFooterAlign(AlignmentOfTag(CheckedTag({FtrLeftBut, FtrCenterBut, FtrRightBut})));
    o.SetFooterFont({FooterFontDialog->Font(), FooterFontDialog->Color()});
    if (!bad.isEmpty())
        throw EConvertError(bad.join('\n').toStdString());
}

void TPageSetupForm::OKButClick()
{
    // A field that is no number raises here and the dialog stays open, so
    // that it can be put right.
    StoreControls();
    accept();
}

void TPageSetupForm::FontButClick(TFontDialog* dialog, QPushButton* button)
{
    if (dialog->Execute())
        button->setText(FontCaption(dialog->Font()));
}

void TPageSetupForm::PageNumFontButClick() { FontButClick(PageNumFontDialog, PageNumFontBut); }
void TPageSetupForm::HdrFontButClick() { FontButClick(HeaderFontDialog, HdrFontBut); }
void TPageSetupForm::FtrFontButClick() { FontButClick(FooterFontDialog, FtrFontBut); }

void TPageSetupForm::PortButClick()
{
    PortShape->setVisible(PortBut->isChecked());
    LandShape->setVisible(!PortBut->isChecked());
}

void TPageSetupForm::PrinterSetupButClick() { Dialogs().PrinterSetup(Printers().Printer()); }

void TPageSetupForm::SetDefaultButClick()
{
    if (Dialogs().Confirm("Are you sure you want to save these values as the Default Settings?",
                          TMsgButtons::YesNoCancel) != TMsgAnswer::Yes)
        return;
    TSaveValuesForOneSave once(*FormSettings1);
    FormSettings1->SaveSettings();
}

} // namespace tessaria
