#include "imageio/qt/metafileimage.h"

#include <QImage>
#include <QPainter>

#include "base/exceptions.h"
#include "imageio/limits.h"
#include "imageio/qt/metafileplayer.h"
#include "imageio/qt/qimagebridge.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

void TMetafile::LoadFromStream(TStream& stream)
{
    const std::vector<uint8_t> bytes = ReadUpTo(stream, stream.Remaining());
    auto data = std::make_shared<TMetafileData>(ParseMetafile(bytes.data(), bytes.size()));
    const TMetafileFrame frame = MetafileFrame(*data);
    Data_ = std::move(data);
    Frame_ = frame;
}

void TMetafile::AssignTo(TBitmap& target) const
{
    if (!Data_) {
        target = TBitmap();
        return;
    }
    CheckPictureSize(Frame_.PixelsX, Frame_.PixelsY);
    QImage image(Frame_.PixelsX, Frame_.PixelsY, QImage::Format_RGB888);
    if (image.isNull())
        throw EInvalidGraphic("Out of memory for the metafile's picture");
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PlayMetafile(*Data_, painter, QRectF(0, 0, image.width(), image.height()));
    }
    target = FromQImage(image);
}

void RegisterMetafileFormats(TFileFormatsList& list)
{
    if (list.FindExt("wmf") == &GraphicClassOf<TMetafile>())
        return;
    list.InsertFileFormat(0, "wmf", "Metafiles", GraphicClassOf<TMetafile>());
    list.InsertFileFormat(1, "emf", "Enhanced Metafiles", GraphicClassOf<TMetafile>());
}

} // namespace tessaria
