#pragma once
// The preview engine's text options: margins, header, footer and page number
// with their fonts. Fonts are held by value (the options own them) with their
// size in points; they are turned into device fonts only when drawn.

#include <QFont>
#include <QString>

#include "base/alignment.h"
#include "platform/color.h"

namespace tessaria {

enum class TPrintPageNumber { pnBottom = 0, pnTop = 1, pnNone = 2 };

// A font as the options keep it: face, size in points, style and colour.
struct TPrintFont {
    QFont Font;
    TColor Color = 0;

    bool operator==(const TPrintFont& other) const;
};

// A font of the given face and size in points.
TPrintFont MakePrintFont(const QString& name, int points, bool bold = false);

class TTextOptions {
public:
    TTextOptions();

    double MarginLeft() const { return MarginLeft_; }
    void SetMarginLeft(double value) { MarginLeft_ = value; }
    double MarginTop() const { return MarginTop_; }
    void SetMarginTop(double value) { MarginTop_ = value; }
    double MarginRight() const { return MarginRight_; }
    void SetMarginRight(double value) { MarginRight_ = value; }
    double MarginBottom() const { return MarginBottom_; }
    void SetMarginBottom(double value) { MarginBottom_ = value; }

    const TPrintFont& HeaderFont() const { return HeaderFont_; }
    void SetHeaderFont(const TPrintFont& font) { HeaderFont_ = font; }
    const TPrintFont& FooterFont() const { return FooterFont_; }
    void SetFooterFont(const TPrintFont& font) { FooterFont_ = font; }
    const TPrintFont& PageNumFont() const { return PageNumFont_; }
    void SetPageNumFont(const TPrintFont& font) { PageNumFont_ = font; }

    QString Header() const { return Header_; }
    void SetHeader(const QString& value) { Header_ = value; }
    QString Footer() const { return Footer_; }
    void SetFooter(const QString& value) { Footer_ = value; }
    double HeaderMargin() const { return HeaderMargin_; }
    void SetHeaderMargin(double value) { HeaderMargin_ = value; }
    double FooterMargin() const { return FooterMargin_; }
    void SetFooterMargin(double value) { FooterMargin_ = value; }
    TAlignment HeaderAlign() const { return HeaderAlign_; }
    void SetHeaderAlign(TAlignment value) { HeaderAlign_ = value; }
    TAlignment FooterAlign() const { return FooterAlign_; }
    void SetFooterAlign(TAlignment value) { FooterAlign_ = value; }

    TPrintPageNumber PrintPageNumber() const { return PrintPageNumber_; }
    void SetPrintPageNumber(TPrintPageNumber value) { PrintPageNumber_ = value; }
    TAlignment PageNumAlign() const { return PageNumAlign_; }
    void SetPageNumAlign(TAlignment value) { PageNumAlign_ = value; }
    // A format with one integer, "Page %d".
    QString PageNumText() const { return PageNumText_; }
    void SetPageNumText(const QString& value) { PageNumText_ = value; }

    bool operator==(const TTextOptions&) const = default;

private:
    double MarginLeft_ = 0.5;
    double MarginTop_ = 0.5;
    double MarginRight_ = 0.5;
    double MarginBottom_ = 0.5;
    TPrintFont HeaderFont_;
    TPrintFont FooterFont_;
    TPrintFont PageNumFont_;
    QString Header_;
    QString Footer_;
    double HeaderMargin_ = 0.5;
    double FooterMargin_ = 0.4;
    TAlignment HeaderAlign_ = TAlignment::taCenter;
    TAlignment FooterAlign_ = TAlignment::taCenter;
    TPrintPageNumber PrintPageNumber_ = TPrintPageNumber::pnBottom;
    TAlignment PageNumAlign_ = TAlignment::taRightJustify;
    QString PageNumText_ = QStringLiteral("Page %d");
};

// The page number text: the format's first %d (or %i, %u) takes the number,
// "%%" is a percent sign; any other conversion is left as written, so that a
// user's text can never read past the one argument there is.
QString FormatPageNumber(const QString& format, int number);

} // namespace tessaria
