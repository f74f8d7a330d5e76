#include "browse/dragstarter.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>

namespace tessaria {

TDragStarter::TDragStarter(QWidget* source, int threshold, std::function<QMimeData*()> makeData)
    : QObject(source), Source_(source), Threshold_(threshold), MakeData_(std::move(makeData))
{
    RunDrag_ = [this](QMimeData* data) {
        auto* drag = new QDrag(Source_);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    };
    source->installEventFilter(this);
}

void TDragStarter::Arm(QPoint at)
{
    Start_ = at;
    Armed_ = true;
}

bool TDragStarter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Source_ || !Armed_)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonRelease) {
        Armed_ = false;
    } else if (event->type() == QEvent::MouseMove) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (!(mouse->buttons() & Qt::LeftButton)) {
            Armed_ = false;
        } else if (std::abs(at.x() - Start_.x()) >= Threshold_ || std::abs(at.y() - Start_.y()) >= Threshold_) {
            Armed_ = false;
            if (QMimeData* data = MakeData_())
                RunDrag_(data);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tessaria
