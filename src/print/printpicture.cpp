#include "print/printpicture.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <thread>

#include "imageio/picture.h"
#include "imageio/qt/qimagebridge.h"
#include "print/core/resample.h"
#include "print/core/rotate.h"
#include "print/pictureerror.h"

namespace tessaria {

namespace {
std::atomic<bool> TwoThreads{true};
} // namespace

void SetPrintingOnTwoThreads(bool on) { TwoThreads.store(on); }
bool PrintingOnTwoThreads() { return TwoThreads.load(); }

TBitmap LoadPrintPicture(const std::string& fileName)
{
    try {
        return LoadBitmapFromFile(fileName);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const EPictureError&) {
        throw;
    } catch (const std::exception& e) {
        throw EPictureError(fileName, e.what());
    }
}

QImage FinishPrintPicture(const TPrintPicture& picture, TBitmap full)
{
    Stretch(picture.Width, picture.Height, picture.FilterIndex, full);
    RotateByDegrees(full, picture.Rotation);
    return ToQImage(full);
}

size_t PicturesReadAhead()
{
    // Decoding is most of a recording's work: one read per core keeps both
    // busy. Each read in flight holds a full picture, hence the cap.
    if (!PrintingOnTwoThreads())
        return 0;
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 2);
}

TPicturesAhead::TPicturesAhead(std::vector<std::string> files) : Files_(std::move(files)), Depth_(PicturesReadAhead())
{
    StartReads();
}

TPicturesAhead::~TPicturesAhead()
{
    for (TRead& read : Reading_)
        read.Picture.wait();
}

void TPicturesAhead::StartReads()
{
    while (Reading_.size() < Depth_ && Started_ < Files_.size()) {
        Reading_.push_back(
            {Started_, std::async(std::launch::async, [file = Files_[Started_]] { return LoadPrintPicture(file); })});
        ++Started_;
    }
}

TBitmap TPicturesAhead::Take(size_t index)
{
    if (index >= Files_.size())
        throw Exception("No picture to read");
    // Pictures skipped: their reads are dropped.
    while (!Reading_.empty() && Reading_.front().Index < index) {
        Reading_.front().Picture.wait();
        Reading_.pop_front();
    }
    if (Reading_.empty() || Reading_.front().Index != index) {
        for (TRead& read : Reading_)
            read.Picture.wait();
        Reading_.clear();
        if (Depth_ == 0) {
            Started_ = index + 1;
            return LoadPrintPicture(Files_[index]);
        }
        Started_ = index;
        StartReads();
    }
    std::future<TBitmap> current = std::move(Reading_.front().Picture);
    Reading_.pop_front();
    TBitmap picture = current.get();
    // The next ones are read while the caller resamples and draws this one.
    StartReads();
    return picture;
}

} // namespace tessaria
