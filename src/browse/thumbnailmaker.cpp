#include "browse/thumbnailmaker.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

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

TThumbnailMaker::TThumbnailMaker(std::vector<TThumbnailJob> jobs, int thumbSize, QRgb background,
                                 std::optional<TSharedThumbnailCache> cache, int workers)
    : Jobs_(std::move(jobs)), ThumbSize_(thumbSize), Background_(background), Cache_(std::move(cache)),
      Slots_(Jobs_.size())
{
    workers = std::min<int>(workers, int(Jobs_.size()));
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
        std::optional<QImage> tile = Make(index);
        lock.lock();
        Slots_[size_t(index)].Tile = std::move(tile);
        Slots_[size_t(index)].Done = true;
        Changed_.notify_all();
        if (OnReady_)
            OnReady_();
    }
}

std::optional<QImage> TThumbnailMaker::Make(int index) const
{
    return MakeThumbnailTileOfFile(Jobs_[size_t(index)], ThumbSize_, Background_, Cache_ ? &*Cache_ : nullptr);
}

bool TThumbnailMaker::Ready(int index)
{
    std::lock_guard lock(Mutex_);
    return Threads_.empty() || Slots_.at(size_t(index)).Done;
}

std::optional<QImage> TThumbnailMaker::Take(int index)
{
    if (Threads_.empty()) {
        if (index < 0 || index >= Count())
            throw std::out_of_range("no such thumbnail");
        return Make(index);
    }
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
