#pragma once
// A picture box's printed picture: read again at full size from its file,
// resampled to the pixels it covers at the chosen resolution, then turned.
// The same steps make it the first time and again later, so a recorded page
// can let go of it and have it back pixel for pixel.

#include <QImage>
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "imageio/bitmap.h"
#include "print/metafilecanvas.h"

namespace tessaria {

struct TPrintPicture {
    std::string FileName;
    int Width = 0;  // resampled size, before the turn
    int Height = 0;
    int FilterIndex = 0;
    int Rotation = 0;
};

// Reads the file at full size; a reader's failure raises EPictureError
// naming the file (out of memory stays what it is).
TBitmap LoadPrintPicture(const std::string& fileName);
// Resamples and turns a picture read by LoadPrintPicture.
QImage FinishPrintPicture(const TPrintPicture& picture, TBitmap full);

// Makes the printed picture again from its file.
class TPrintPictureSource final : public TImageSource {
public:
    explicit TPrintPictureSource(TPrintPicture picture) : Picture_(std::move(picture)) {}
    QImage Make() const override { return FinishPrintPicture(Picture_, LoadPrintPicture(Picture_.FileName)); }

private:
    TPrintPicture Picture_;
};

// Reads the pictures of a recording ahead: while the current one is
// resampled and drawn, the next ones (one a core, at most two) are decoded on
// threads of their own. Take them in order; with reading ahead off each is
// read when taken.
class TPicturesAhead {
public:
    explicit TPicturesAhead(std::vector<std::string> files);
    ~TPicturesAhead(); // waits for reads still running
    TPicturesAhead(const TPicturesAhead&) = delete;
    TPicturesAhead& operator=(const TPicturesAhead&) = delete;

    // Picture `index` (each once, in increasing order); raises what reading it raised.
    TBitmap Take(size_t index);

private:
    struct TRead {
        size_t Index;
        std::future<TBitmap> Picture;
    };
    void StartReads();

    std::vector<std::string> Files_;
    size_t Depth_;       // reads kept in flight
    size_t Started_ = 0; // the next index to start reading
    std::deque<TRead> Reading_;
};

// How many pictures a recording reads ahead of the one being drawn.
size_t PicturesReadAhead();

// Whether printing uses more threads than the window's (reading pictures
// ahead, writing pages to the printer while the next is recorded). On by default;
// the output is the same either way.
void SetPrintingOnTwoThreads(bool on);
bool PrintingOnTwoThreads();

} // namespace tessaria
