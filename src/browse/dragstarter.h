#pragma once
// Starts dragging from a widget once the mouse, held down on it, has moved a
// given distance. Armed by the widget's mouse-down handler.

#include <QObject>
#include <QPoint>
#include <functional>

class QMimeData;
class QWidget;

namespace tessaria {

class TDragStarter : public QObject {
    Q_OBJECT
public:
    // makeData gives the drag's data at the moment the drag starts.
    TDragStarter(QWidget* source, int threshold, std::function<QMimeData*()> makeData);

    // Called on mouse down at this position (in the source's coordinates).
    void Arm(QPoint at);
    bool Armed() const { return Armed_; }
    int Threshold() const { return Threshold_; }

    // Runs the drag; the default one runs QDrag. Tests put in their own.
    void SetRunDrag(std::function<void(QMimeData*)> run) { RunDrag_ = std::move(run); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Source_;
    int Threshold_;
    std::function<QMimeData*()> MakeData_;
    std::function<void(QMimeData*)> RunDrag_;
    QPoint Start_;
    bool Armed_ = false;
};

} // namespace tessaria
