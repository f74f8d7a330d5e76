#pragma once
// The layout's own one-slot clipboard: a hidden form holding a copy of the
// cut or copied box and, for a picture, of its caption.

#include <QWidget>

namespace tessaria {

class TRectBox;

class TfrmClipboard : public QWidget {
    Q_OBJECT
public:
    explicit TfrmClipboard(QWidget* parent = nullptr);

    TRectBox* ClipboardRB;
    TRectBox* ChildRB;
    // The copied picture box had a caption, now in ChildRB.
    bool HasChild = false;
    // Something was cut or copied since the program started.
    bool Filled = false;
};

} // namespace tessaria
