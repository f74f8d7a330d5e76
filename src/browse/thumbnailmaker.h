#pragma once
// Makes the small thumbnails of a list of files, in list order, on worker
// threads that decode the next files while the caller places the finished
// tiles. With no workers every tile is made on the caller's thread when it is
// taken, which gives the same tiles.

#include <QImage>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "browse/sharedthumbnails.h"
#include "browse/thumbnailtile.h"

namespace tessaria {

// How many worker threads a build uses: -1 (the default) one per core, 0 none.
void SetThumbnailWorkers(int workers);
int ThumbnailWorkers();

class TThumbnailMaker {
public:
    // With a cache, tiles come from valid shared thumbnails and the ones made
    // are stored there.
    TThumbnailMaker(std::vector<TThumbnailJob> jobs, int thumbSize, QRgb background,
                    std::optional<TSharedThumbnailCache> cache = std::nullopt, int workers = ThumbnailWorkers());
    // Stops the workers; a file being decoded is finished first.
    ~TThumbnailMaker();
    TThumbnailMaker(const TThumbnailMaker&) = delete;
    TThumbnailMaker& operator=(const TThumbnailMaker&) = delete;

    int Count() const { return int(Jobs_.size()); }
    int Workers() const { return int(Threads_.size()); }
    // Called on a worker thread each time a tile is done.
    void SetOnReady(std::function<void()> onReady);
    // Lets the workers end after the file each is decoding; no tile that is not
    // done yet can be taken after it.
    void Stop();
    // Whether tile `index` can be taken without waiting.
    bool Ready(int index);
    // The tile of file `index` (nothing for a file that could not be made),
    // waiting for it when it is not done yet. Tiles are taken in order, each once.
    std::optional<QImage> Take(int index);

private:
    struct TSlot {
        bool Done = false;
        std::optional<QImage> Tile;
    };
    void Work();

    std::optional<QImage> Make(int index) const;

    std::vector<TThumbnailJob> Jobs_;
    int ThumbSize_;
    QRgb Background_;
    std::optional<TSharedThumbnailCache> Cache_;
    std::mutex Mutex_;
    std::condition_variable Changed_;
    std::vector<TSlot> Slots_;
    std::function<void()> OnReady_;
    int Next_ = 0;  // next file a worker takes
    int Taken_ = 0; // tiles handed out so far
    bool Stop_ = false;
    std::vector<std::thread> Threads_;
};

} // namespace tessaria
