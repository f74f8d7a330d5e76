#include "app/openingcopies.h"

#include <algorithm>
#include <chrono>

#include "imageio/reducedpicture.h"
#include "layout/layoutrules.h"
#include "platform/application.h"
#include "print/core/rotate.h"

namespace tessaria {

namespace {
// How far the workers may run ahead of the window: the copies are small, the
// pictures being read are not, and a window that waits for nothing is enough.
constexpr size_t MaxAhead = 16;
} // namespace

std::vector<TOpeningCopies::TRequest> TOpeningCopies::PicturesOf(const TDocument& document)
{
    std::vector<TRequest> requests;
    for (const TDocumentPage& page : document.Pages)
        for (const TDocumentBox& box : page.Boxes)
            if (!box.TextBox())
                requests.push_back({box.FileName, box.Rotation});
    return requests;
}

TOpeningCopy MakeOpeningCopy(const std::string& fileName, int rotation)
{
    TOpeningCopy copy;
    try {
        // A JPEG is decoded at the least scale that still gives the copy
        // every pixel it covers; other formats are read whole.
        TReducedPicture picture = LoadPictureForBox(fileName, ReducedCopySide, ReducedCopySide);
        copy.PictureWidth = picture.Width;
        copy.PictureHeight = picture.Height;
        copy.Reduced = ReducedCopy(picture.Bitmap); // a 24-bit picture is reduced where it lies
        picture.Bitmap = TBitmap();
        RotateByDegrees(copy.Reduced, rotation);
        copy.Read = true;
    } catch (const std::exception&) {
        copy = TOpeningCopy(); // missing or damaged: the window lists it
    }
    return copy;
}

TOpeningCopies::TOpeningCopies(std::vector<TRequest> requests, int threads)
    : Requests_(std::move(requests)), Done_(Requests_.size()), Ready_(Requests_.size(), false)
{
    if (threads <= 0)
        threads = int(std::max(1u, std::thread::hardware_concurrency()));
    threads = int(std::min<size_t>(size_t(threads), Requests_.size()));
    for (int t = 0; t < threads; ++t)
        Workers_.emplace_back([this] { Work(); });
}

TOpeningCopies::~TOpeningCopies()
{
    {
        std::lock_guard lock(Mutex_);
        Stopping_ = true;
    }
    Changed_.notify_all();
    for (std::thread& worker : Workers_)
        worker.join();
}

void TOpeningCopies::Work()
{
    while (true) {
        size_t index;
        {
            std::unique_lock lock(Mutex_);
            Changed_.wait(lock, [this] {
                return Stopping_ || NextToStart_ >= Requests_.size() || NextToStart_ < Taken_ + MaxAhead;
            });
            if (Stopping_ || NextToStart_ >= Requests_.size())
                return;
            index = NextToStart_++;
        }
        TOpeningCopy copy = MakeOpeningCopy(Requests_[index].FileName, Requests_[index].Rotation);
        {
            std::lock_guard lock(Mutex_);
            Done_[index] = std::move(copy);
            Ready_[index] = true;
        }
        Changed_.notify_all();
    }
}

TOpeningCopy TOpeningCopies::Take(size_t index)
{
    if (index >= Requests_.size())
        return {};
    if (Workers_.empty())
        return MakeOpeningCopy(Requests_[index].FileName, Requests_[index].Rotation);
    std::unique_lock lock(Mutex_);
    // The window stays alive while it waits: it repaints and the gauge shows.
    while (!Ready_[index]) {
        lock.unlock();
        ProcessMessages();
        lock.lock();
        Changed_.wait_for(lock, std::chrono::milliseconds(15), [&] { return bool(Ready_[index]); });
    }
    TOpeningCopy copy = std::move(Done_[index]);
    Taken_ = std::max(Taken_, index + 1);
    lock.unlock();
    Changed_.notify_all();
    return copy;
}

} // namespace tessaria
