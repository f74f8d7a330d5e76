#include "imageio/picture.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/paths.h"

namespace tessaria {

void TPicture::LoadFromFile(const std::string& fileName)
{
    const std::string ext = ExtractFileExt(fileName);
    const TGraphicClass* graphicClass = Formats_->FindExt(ext);
    if (!graphicClass)
        throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", ext.c_str()));
    std::unique_ptr<TGraphic> graphic = graphicClass->Create();
    graphic->LoadFromFile(fileName); // on failure the new graphic goes, the old one stays
    Graphic_ = std::move(graphic);
    Changed();
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    Graphic_ = std::move(graphic);
    Changed();
}

TBitmap& TPicture::Bitmap()
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(Graphic_.get()))
        return *bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    if (Graphic_)
        Graphic_->MoveTo(*bitmap);
    TBitmap& result = *bitmap;
    Graphic_ = std::move(bitmap);
    Changed();
    return result;
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange();
}

TBitmap LoadBitmapFromFile(const std::string& fileName, std::string* readerClass)
{
    TPicture picture;
    picture.LoadFromFile(fileName);
    if (readerClass)
        *readerClass = picture.Graphic()->ClassName();
    TBitmap result;
    picture.Graphic()->MoveTo(result);
    return result;
}

} // namespace tessaria
