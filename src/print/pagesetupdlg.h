#pragma once
// The page setup dialog: margins and their unit, orientation, header, footer
// and page number with their margins, alignments and fonts, bound to one
// preview engine and its text options. It can store its values as the
// defaults the engine applies at every start of the program.

#include <QDialog>
#include <initializer_list>

class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessaria {

class TFontDialog;
class TFormSettings;
class TPreviewPrinter;
class TTextOptions;

class TPageSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit TPageSetupForm(TPreviewPrinter& engine, QWidget* parent = nullptr);
    ~TPageSetupForm() override;

    // Fills the controls and shows the dialog modally; gives its result.
    int Run();
    // Fills the controls, lets FormSettings1 load the stored values into
    // them and stores the controls into the options. A stored margin that is
    // no number keeps the value it had; every other value is still stored,
    // and then one conversion error names each such setting.
    void LoadDefaults();

    // From the options into the controls, as on showing.
    void FillControls();
    // From the controls into the options, in the order OK stores them. A
    // margin that is not a number raises; the fields before it stay stored.
    void StoreControls() { StoreControls(false); }

    // Handlers.
    void OKButClick();
    void PageNumFontButClick();
    void HdrFontButClick();
    void FtrFontButClick();
    void PortButClick();
    void PrinterSetupButClick();
    void SetDefaultButClick();

    // Components, named as their object names.
    QGroupBox* PageMarginGroup = nullptr;
    QRadioButton* InchBut = nullptr;
    QRadioButton* CentBut = nullptr;
    QLineEdit* LeftEdit = nullptr;
    QLineEdit* RightEdit = nullptr;
    QLineEdit* TopEdit = nullptr;
    QLineEdit* BotEdit = nullptr;

    QGroupBox* PageOrientGroup = nullptr;
    QRadioButton* PortBut = nullptr;
    QRadioButton* LandBut = nullptr;
    QFrame* PortShape = nullptr;
    QFrame* LandShape = nullptr;

    QGroupBox* PageNumGroup = nullptr;
    QRadioButton* PageBotBut = nullptr;
    QRadioButton* PageTopBut = nullptr;
    QRadioButton* PageNoneBut = nullptr;
    QRadioButton* PageLeftBut = nullptr;
    QRadioButton* PageCenterBut = nullptr;
    QRadioButton* PageRightBut = nullptr;
    QLineEdit* PageNumEdit = nullptr;
    QPushButton* PageNumFontBut = nullptr;
    TFontDialog* PageNumFontDialog = nullptr;

    QGroupBox* HeaderGroup = nullptr;
    QLineEdit* HeaderEdit = nullptr;
    QLineEdit* HdrMarginEdit = nullptr;
    QRadioButton* HdrLeftBut = nullptr;
    QRadioButton* HdrCenterBut = nullptr;
    QRadioButton* HdrRightBut = nullptr;
    QPushButton* HdrFontBut = nullptr;
    TFontDialog* HeaderFontDialog = nullptr;

    QGroupBox* FooterGroup = nullptr;
    QLineEdit* FooterEdit = nullptr;
    QLineEdit* FtrMarginEdit = nullptr;
    QRadioButton* FtrLeftBut = nullptr;
    QRadioButton* FtrCenterBut = nullptr;
    QRadioButton* FtrRightBut = nullptr;
    QPushButton* FtrFontBut = nullptr;
    TFontDialog* FooterFontDialog = nullptr;

    QPushButton* PrinterSetupBut = nullptr;
    QPushButton* OKBut = nullptr;
    QPushButton* CancelBut = nullptr;
    QPushButton* SetDefaultBut = nullptr;
    TFormSettings* FormSettings1 = nullptr;

private:
    void CreateComponents();
    // `keepBadMargins`: a margin that is no number keeps its value and is
    // named in the error raised after everything else was stored.
    void StoreControls(bool keepBadMargins);
    void FontButClick(TFontDialog* dialog, QPushButton* button);

    TPreviewPrinter& Engine_;
    TTextOptions& Options_;
};

// A margin as the dialog shows it ("%1.3n": three decimals, thousands
// separators): 0.5 -> "0.500", 1234.5 -> "1,234.500".
QString FormatMargin(double value);
// A margin field's text as a number. Thousands separators where the dialog
// itself puts them are accepted; any other text raises the conversion error.
double MarginFromText(const QString& text);
// A font button's caption: "%s %d pt" with the font's name and size.
QString FontCaption(const QFont& font);

// The Tag of the checked button of a radio group, and checking by Tag.
int CheckedTag(std::initializer_list<QRadioButton*> group);
void CheckTag(std::initializer_list<QRadioButton*> group, int tag);

} // namespace tessaria
