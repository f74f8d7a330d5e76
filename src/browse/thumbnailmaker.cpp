#include "browse/thumbnailmaker.h"

#include <algorithm>
#include <atomic>

#include "browse/thumbnailtile.h"

namespace tessaria {

namespace {
std::atomic<int> WorkerSetting{-1};
// Finished tiles are small; the limit only bounds the work wasted when a
// build is stopped.
constexpr int LookAhead = 8;
} // namespace

void SetThumbnailWorkers(int workers) { WorkerSetting.store(std::max(-1, workers)); }

int ThumbnailWorkers()
{
    const int setting = WorkerSetting.load();
    return setting >= 0 ? setting : int(std::max(1u, std::thread::hardware_concurrency()));
}

TThumbnailMaker::TThumbnailMaker(std::vector<std::string> paths, int thumbSize, QRgb background, int workers)
    : Paths_(std::move(paths)), ThumbSize_(thumbSize), Background_(background), Slots_(Paths_.size())
{
    workers = std::min<int>(workers, int(Paths_.size()));
    for (int i = 0; i < workers; ++i)
        Threads_.emplace_back([this] { Work(); });
}

TThumbnailMaker::~TThumbnailMaker()
{
    Stop();
    for (std::thread& thread : Threads_)
        thread.join();
}

void TThumbnailMaker::Stop()
{
    {
        std::lock_guard lock(Mutex_);
        Stop_ = true;
    }
    Changed_.notify_all();
}

void TThumbnailMaker::SetOnReady(std::function<void()> onReady)
{
    std::lock_guard lock(Mutex_);
    OnReady_ = std::move(onReady);
}

void TThumbnailMaker::Work()
{
    std::unique_lock lock(Mutex_);
    for (;;) {
        Changed_.wait(lock, [this] { return Stop_ || (Next_ < Count() && Next_ < Taken_ + LookAhead); });
        if (Stop_)
            return;
        const int index = Next_++;
        lock.unlock();
        std::optional<QImage> tile = MakeThumbnailTileOfFile(Paths_[size_t(index)], ThumbSize_, Background_);
        lock.lock();
        Slots_[size_t(index)].Tile = std::move(tile);
        Slots_[size_t(index)].Done = true;
        Changed_.notify_all();
        if (OnReady_)
            OnReady_();
    }
}

bool TThumbnailMaker::Ready(int index)
{
    std::lock_guard lock(Mutex_);
    return Threads_.empty() || Slots_.at(size_t(index)).Done;
}

std::optional<QImage> TThumbnailMaker::Take(int index)
{
    if (Threads_.empty())
        return MakeThumbnailTileOfFile(Paths_.at(size_t(index)), ThumbSize_, Background_);
    std::unique_lock lock(Mutex_);
    TSlot& slot = Slots_.at(size_t(index));
    Changed_.wait(lock, [&] { return slot.Done; });
    std::optional<QImage> tile = std::move(slot.Tile);
    slot.Tile.reset();
    Taken_ = std::max(Taken_, index + 1);
    Changed_.notify_all();
    return tile;
}

} // namespace tessaria
