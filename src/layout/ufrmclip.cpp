#include "layout/ufrmclip.h"

#include "layout/rectbox.h"

namespace tessaria {

TfrmClipboard::TfrmClipboard(QWidget* parent) : QWidget(parent)
{
    setObjectName("frmClipboard");
    setWindowTitle("frmClipBoard");
    // The holder boxes belong to the clipboard form, not to the layout.
    ClipboardRB = new TRectBox(this, this);
    ClipboardRB->setObjectName("ClipboardRB");
    ClipboardRB->setGeometry(16, 24, 89, 81);
    ChildRB = new TRectBox(this, this);
    ChildRB->setObjectName("ChildRB");
    ChildRB->setGeometry(120, 24, 89, 81);
}

} // namespace tessaria
