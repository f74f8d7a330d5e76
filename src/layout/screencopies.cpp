#include "layout/screencopies.h"

#include <QCoreApplication>
#include <QTransform>

#include "imageio/reducedpicture.h"
#include "platform/filenames.h"
#include "imageio/qt/qimagebridge.h"
#include "layout/rectbox.h"

namespace tessaria {

namespace {

// Resizing a box asks for a new size at every mouse move; the reader starts
// once the size has rested this long.
constexpr int DefaultDelay = 150;

QImage ForDrawing(QImage image)
{
    // The format the screen's painter copies without converting.
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage ScaledScreenCopy(const QImage& picture, const QSize& size)
{
    if (picture.isNull() || size.isEmpty())
        return {};
    return ForDrawing(picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QImage ReadScreenCopy(const QString& file, int rotation, const QSize& size)
{
    if (file.isEmpty() || size.isEmpty())
        return {};
    try {
        // Scaled before it is turned: the turn then moves few pixels.
        const bool quarter = rotation == 90 || rotation == 270;
        const QSize unturned = quarter ? size.transposed() : size;
        // A JPEG only at the reduced scale that still gives twice the size,
        // so that scaling down averages over every pixel it covers.
        const TReducedPicture picture =
            LoadPictureAtLeast(FileNameString(file), 2 * unturned.width(), 2 * unturned.height());
        if (picture.Bitmap.Empty())
            return {};
        QImage image = ToQImage(picture.Bitmap).scaled(unturned, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (rotation == 90 || rotation == 180 || rotation == 270)
            image = image.transformed(QTransform().rotate(rotation));
        return ForDrawing(std::move(image));
    } catch (const std::exception&) {
        return {};
    }
}

TScreenCopies::TScreenCopies(QObject* parent) : QObject(parent)
{
    Timer_.setSingleShot(true);
    Timer_.setInterval(DefaultDelay);
    connect(&Timer_, &QTimer::timeout, this, [this] { StartJobs(); });
    Reader_ = std::thread([this] { Work(); });
}

TScreenCopies::~TScreenCopies()
{
    {
        std::lock_guard lock(Mutex_);
        Stop_ = true;
        Jobs_.clear();
    }
    Changed_.notify_all();
    Reader_.join();
}

void TScreenCopies::SetBudget(qint64 bytes)
{
    Budget_ = bytes;
    Trim();
}

bool TScreenCopies::HasCopy(const TRectBox& box, const QSize& deviceSize) const
{
    const auto it = Entries_.find(&box);
    return it != Entries_.end() && !it->second.Image.isNull() && it->second.Made.Size == deviceSize &&
           it->second.Made.Reduced == box.SharedPicture().get() && it->second.Made.File == box.FileName() &&
           it->second.Made.Rotation == box.Rotation();
}

QImage TScreenCopies::For(TRectBox& box, const QSize& deviceSize)
{
    if (!Active_)
        return box.PictureImage();
    const TKey key{box.SharedPicture().get(), box.FileName(), box.Rotation(), deviceSize};
    auto [it, added] = Entries_.try_emplace(&box);
    TEntry& entry = it->second;
    if (added) {
        entry.Box = &box;
        connect(&box, &QObject::destroyed, this, [this, gone = &box] {
            const auto found = Entries_.find(gone);
            if (found == Entries_.end())
                return;
            Bytes_ -= found->second.Image.sizeInBytes();
            Entries_.erase(found);
            Waiting_.erase(gone);
        });
    }
    entry.LastUse = ++Uses_;
    if (!entry.Image.isNull() && entry.Made == key)
        return entry.Image;

    const QImage& reduced = box.PictureImage();
    const bool samePicture = !entry.Image.isNull() && entry.Made.Reduced == key.Reduced &&
                             entry.Made.File == key.File && entry.Made.Rotation == key.Rotation;
    if (!reduced.isNull() && deviceSize.width() <= reduced.width() && deviceSize.height() <= reduced.height()) {
        // The reduced copy has enough pixels: made at once, no file read.
        QImage copy = ScaledScreenCopy(reduced, deviceSize);
        Keep(entry, copy, key);
        return copy;
    }
    if (key.File.isEmpty() || deviceSize.isEmpty())
        return reduced;
    if (!(entry.Failed && entry.Wanted == key))
        Ask(entry, &box, key);
    // Until the copy arrives: an older one of the same picture, or the reduced copy.
    return samePicture ? entry.Image : reduced;
}

void TScreenCopies::Ask(TEntry& entry, const TRectBox* box, const TKey& key)
{
    if (entry.Wanted == key)
        return;
    entry.Wanted = key;
    entry.Failed = false;
    Waiting_[box] = key;
    Timer_.start();
}

void TScreenCopies::StartJobs()
{
    if (Waiting_.empty())
        return;
    {
        std::lock_guard lock(Mutex_);
        for (const auto& [box, key] : Waiting_) {
            // A newer size for the same box replaces an older one still queued.
            std::erase_if(Jobs_, [box = box](const TJob& job) { return job.Box == box; });
            Jobs_.push_back({box, key});
        }
    }
    Waiting_.clear();
    Changed_.notify_all();
}

void TScreenCopies::Work()
{
    std::unique_lock lock(Mutex_);
    for (;;) {
        Changed_.wait(lock, [this] { return Stop_ || !Jobs_.empty(); });
        if (Stop_)
            return;
        const TJob job = Jobs_.front();
        Jobs_.pop_front();
        ++Busy_;
        lock.unlock();
        QImage image = ReadScreenCopy(job.Key.File, job.Key.Rotation, job.Key.Size);
        QMetaObject::invokeMethod(
            this, [this, result = TResult{job.Box, job.Key, std::move(image)}]() mutable { Deliver(std::move(result)); },
            Qt::QueuedConnection);
        lock.lock();
        --Busy_;
        Changed_.notify_all();
    }
}

void TScreenCopies::Deliver(TResult result)
{
    const auto it = Entries_.find(result.Box);
    if (it == Entries_.end() || !(it->second.Wanted == result.Key))
        return; // the box is gone, or wants another size by now
    TEntry& entry = it->second;
    if (result.Image.isNull()) {
        entry.Failed = true; // the reduced copy stays what it shows
        return;
    }
    Keep(entry, std::move(result.Image), result.Key);
    entry.Wanted = {};
    if (entry.Box)
        emit Made(entry.Box);
}

void TScreenCopies::Keep(TEntry& entry, QImage image, const TKey& key)
{
    Bytes_ -= entry.Image.sizeInBytes();
    entry.Image = std::move(image);
    entry.Made = key;
    Bytes_ += entry.Image.sizeInBytes();
    Trim();
}

void TScreenCopies::Trim()
{
    while (Bytes_ > Budget_) {
        auto oldest = Entries_.end();
        for (auto it = Entries_.begin(); it != Entries_.end(); ++it)
            if (!it->second.Image.isNull() && (oldest == Entries_.end() || it->second.LastUse < oldest->second.LastUse))
                oldest = it;
        if (oldest == Entries_.end())
            return;
        Bytes_ -= oldest->second.Image.sizeInBytes();
        oldest->second.Image = QImage();
        oldest->second.Made = {};
    }
}

void TScreenCopies::WaitForAll()
{
    Timer_.stop();
    StartJobs();
    {
        std::unique_lock lock(Mutex_);
        Changed_.wait(lock, [this] { return Jobs_.empty() && Busy_ == 0; });
    }
    QCoreApplication::sendPostedEvents(this);
}

} // namespace tessaria
