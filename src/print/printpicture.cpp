#include "print/printpicture.h"

#include <atomic>
#include <new>

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

TPicturesAhead::TPicturesAhead(std::vector<std::string> files) : Files_(std::move(files))
{
    if (PrintingOnTwoThreads() && !Files_.empty())
        Start(0);
}

TPicturesAhead::~TPicturesAhead()
{
    if (Next_.valid())
        Next_.wait();
}

void TPicturesAhead::Start(size_t index)
{
    NextIndex_ = index;
    Started_ = index + 1;
    Next_ = std::async(std::launch::async, [file = Files_[index]] { return LoadPrintPicture(file); });
}

TBitmap TPicturesAhead::Take(size_t index)
{
    if (index >= Files_.size())
        throw Exception("No picture to read");
    if (!Next_.valid() || NextIndex_ != index) {
        if (Next_.valid())
            Next_.wait(); // a picture skipped: its read is dropped
        Next_ = {};
        Started_ = index + 1;
        if (!PrintingOnTwoThreads())
            return LoadPrintPicture(Files_[index]);
        Start(index);
    }
    std::future<TBitmap> current = std::move(Next_);
    TBitmap picture = current.get();
    // The next one is read while the caller resamples and draws this one.
    if (Started_ < Files_.size())
        Start(Started_);
    return picture;
}

} // namespace tessaria
