#include "platform/fontdialog.h"

#include "platform/dialogs.h"

namespace tessaria {

TFontDialog::TFontDialog(QObject* owner, const QString& name) : QObject(owner)
{
    setObjectName(name);
}

bool TFontDialog::Execute()
{
    QFont font = Font_;
    QColor colour = ColorFromTColor(Color_);
    if (!Dialogs().ChooseFont(font, colour))
        return false;
    Font_ = font;
    Color_ = TColorFromColor(colour);
    return true;
}

} // namespace tessaria
