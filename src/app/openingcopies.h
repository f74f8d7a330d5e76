#pragma once
// The screen copies of an opened document's pictures, made on every core
// while the window places the boxes: each picture read (a JPEG at a reduced
// scale) and fitted into 196 x 196 with the Box filter, then turned as its
// box is. The window takes
// them in order and the message loop runs while it waits for one.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "document/document.h"
#include "imageio/bitmap.h"

namespace tessaria {

struct TOpeningCopy {
    bool Read = false;     // false: the picture could not be read (missing, damaged)
    int PictureWidth = 0;  // the picture's own size
    int PictureHeight = 0;
    TBitmap Reduced;       // fitted into 196 x 196, turned
};

class TOpeningCopies {
public:
    struct TRequest {
        std::string FileName;
        int Rotation = 0;
    };
    // The picture boxes of a document, in the order the window makes them.
    static std::vector<TRequest> PicturesOf(const TDocument& document);

    // Starts making the copies; `threads` 0 means one per core.
    explicit TOpeningCopies(std::vector<TRequest> requests, int threads = 0);
    // Stops the workers (a picture being read is finished first).
    ~TOpeningCopies();
    TOpeningCopies(const TOpeningCopies&) = delete;
    TOpeningCopies& operator=(const TOpeningCopies&) = delete;

    // Copy `index` (each once, in increasing order).
    TOpeningCopy Take(size_t index);

private:
    void Work();

    std::vector<TRequest> Requests_;
    std::vector<TOpeningCopy> Done_;
    std::vector<bool> Ready_;
    size_t NextToStart_ = 0;
    size_t Taken_ = 0;
    bool Stopping_ = false;
    std::mutex Mutex_;
    std::condition_variable Changed_;
    std::vector<std::thread> Workers_;
};

// One picture's screen copy, as the workers make it, the same as a drop of
// the file makes it: read only as large as the copy needs, then resampled
// where it lies (no copy of it is made).
TOpeningCopy MakeOpeningCopy(const std::string& fileName, int rotation);

} // namespace tessaria
