#include "browse/imagelist.h"

namespace tessaria {

TImageList::TImageList(int width, int height, int allocBy, QObject* parent)
    : QObject(parent), Width_(width), Height_(height), AllocBy_(allocBy)
{
}

void TImageList::SetSize(int width, int height)
{
    if (width == Width_ && height == Height_)
        return;
    Width_ = width;
    Height_ = height;
    Clear();
}

QPixmap TImageList::Image(int index) const
{
    return index >= 0 && index < Images_.size() ? Images_[index] : QPixmap();
}

int TImageList::Add(const QImage& image)
{
    if (Limit_ >= 0 && Images_.size() >= Limit_)
        return -1;
    if (Images_.size() == Images_.capacity())
        Images_.reserve(Images_.size() + AllocBy_);
    const QImage sized = image.size() == QSize(Width_, Height_) ? image : image.scaled(Width_, Height_);
    Images_.append(QPixmap::fromImage(sized));
    return int(Images_.size() - 1);
}

void TImageList::Clear()
{
    if (Images_.isEmpty())
        return;
    Images_.clear();
    emit Cleared();
}

} // namespace tessaria
