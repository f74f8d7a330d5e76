#pragma once
// A font dialog component placed on a form: it holds a font and its colour,
// and asks the user through the dialog seam when executed.

#include <QFont>
#include <QObject>

#include "platform/color.h"

namespace tessaria {

class TFontDialog : public QObject {
    Q_OBJECT
public:
    explicit TFontDialog(QObject* owner, const QString& name = QString());

    QFont Font() const { return Font_; }
    void SetFont(const QFont& font) { Font_ = font; }
    TColor Color() const { return Color_; }
    void SetColor(TColor color) { Color_ = color; }

    // True when the user chose a font.
    bool Execute();

private:
    QFont Font_;
    TColor Color_ = 0;
};

} // namespace tessaria
