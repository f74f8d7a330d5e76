#pragma once
// Shows the busy cursor for as long as the object lives, also on failure.

#include <QApplication>

namespace tessaria {

class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { Restore(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

    void Restore()
    {
        if (Active_)
            QApplication::restoreOverrideCursor();
        Active_ = false;
    }

private:
    bool Active_ = true;
};

} // namespace tessaria
