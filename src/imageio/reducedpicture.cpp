#include "imageio/reducedpicture.h"

#include <algorithm>

#include "base/exceptions.h"
#include "base/fitsize.h"
#include "base/format.h"
#include "base/paths.h"
#include "imageio/fileformats.h"
#include "imageio/jpegimage.h"
#include "imageio/picture.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

TReducedPicture LoadReduced(const std::string& fileName, const TJPEGReduction& reduction)
{
    const TGraphicClass* graphicClass = FileFormats().FindExt(ExtractFileExt(fileName));
    TReducedPicture result;
    if (graphicClass != &GraphicClassOf<TJPEGImage>()) {
        result.Bitmap = LoadBitmapFromFile(fileName);
        result.Width = result.Bitmap.Width();
        result.Height = result.Bitmap.Height();
        return result;
    }
    TJPEGImage jpeg;
    {
        TFileStream stream(fileName);
        jpeg.LoadFromStreamReduced(stream, reduction);
    }
    result.Width = jpeg.FullWidth();
    result.Height = jpeg.FullHeight();
    jpeg.MoveTo(result.Bitmap);
    return result;
}

} // namespace

TMinimumSize MinimumSizeForBox(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight)
{
    if (pictureWidth < 1 || pictureHeight < 1)
        return {pictureWidth, pictureHeight};
    const TSize fit = FitSize(boxWidth, boxHeight, pictureWidth, pictureHeight);
    return {2 * fit.Width, 2 * fit.Height};
}

TReducedPicture LoadPictureAtLeast(const std::string& fileName, int minWidth, int minHeight)
{
    return LoadReduced(fileName, [=](int, int) { return TJPEGMinimum{minWidth, minHeight}; });
}

TReducedPicture LoadPictureForBox(const std::string& fileName, int boxWidth, int boxHeight)
{
    return LoadReduced(fileName, [=](int width, int height) {
        const TMinimumSize least = MinimumSizeForBox(boxWidth, boxHeight, width, height);
        return TJPEGMinimum{least.Width, least.Height};
    });
}

TReducedPicture LoadPictureForBoxEitherWay(const std::string& fileName, int boxWidth, int boxHeight)
{
    return LoadReduced(fileName, [=](int width, int height) {
        const TMinimumSize as = MinimumSizeForBox(boxWidth, boxHeight, width, height);
        const TMinimumSize turned = MinimumSizeForBox(boxWidth, boxHeight, height, width);
        return TJPEGMinimum{std::max(as.Width, turned.Height), std::max(as.Height, turned.Width)};
    });
}

} // namespace tessaria
