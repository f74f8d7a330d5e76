#pragma once
// A picture control that draws its picture stretched to its own size.

#include <QImage>
#include <QWidget>

namespace tessaria {

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    const QImage& Picture() const { return Picture_; }
    void SetPicture(const QImage& picture);
    // The picture's own size (0 x 0 when there is none).
    int PictureWidth() const { return Picture_.width(); }
    int PictureHeight() const { return Picture_.height(); }

signals:
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void DoubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage Picture_;
};

} // namespace tessaria
