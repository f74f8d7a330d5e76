#pragma once
// The list's image list for large icons: images of one size, added at the end
// and found by index.

#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>

namespace tessaria {

class TImageList : public QObject {
    Q_OBJECT
public:
    TImageList(int width, int height, int allocBy, QObject* parent = nullptr);

    int Width() const { return Width_; }
    int Height() const { return Height_; }
    // Deletes the images as well, as changing the size does on the desktop.
    void SetSize(int width, int height);
    int AllocBy() const { return AllocBy_; }
    int Count() const { return int(Images_.size()); }
    QPixmap Image(int index) const;

    // A copy of the image at the list's size; -1 when the list cannot grow.
    int Add(const QImage& image);
    void Clear();

    // Qt never refuses an image; tests stand in for a full system by giving the
    // most images the list may hold (-1: no limit).
    void SetCapacityLimit(int images) { Limit_ = images; }

signals:
    // The images were deleted.
    void Cleared();

private:
    int Width_;
    int Height_;
    int AllocBy_;
    int Limit_ = -1;
    QList<QPixmap> Images_;
};

} // namespace tessaria
