#include "imageio/fileformats.h"

#include <algorithm>

namespace tessaria {

std::string LowerCase(const std::string& text)
{
    std::string result = text;
    // ASCII only: extensions are compared the way the file list's masks are.
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return result;
}

void TFileFormatsList::AddFileFormat(const std::string& extension, const std::string& description,
                                     const TGraphicClass& graphicClass)
{
    std::string ext = LowerCase(extension);
    if (!ext.empty() && ext.front() == '.')
        ext.erase(0, 1);
    Formats_.push_back({std::move(ext), description, &graphicClass});
}

void TFileFormatsList::InsertFileFormat(size_t index, const std::string& extension, const std::string& description,
                                        const TGraphicClass& graphicClass)
{
    AddFileFormat(extension, description, graphicClass);
    if (index < Formats_.size() - 1)
        std::rotate(Formats_.begin() + std::ptrdiff_t(index), Formats_.end() - 1, Formats_.end());
}

const TGraphicClass* TFileFormatsList::FindExt(const std::string& extension) const
{
    const std::string ext = LowerCase(extension);
    for (auto it = Formats_.rbegin(); it != Formats_.rend(); ++it)
        if (it->Extension == ext)
            return it->GraphicClass;
    return nullptr;
}

void TFileFormatsList::RemoveGraphicClass(const TGraphicClass& graphicClass)
{
    std::erase_if(Formats_, [&](const TFileFormat& f) { return f.GraphicClass == &graphicClass; });
}

TFileFormatsList& FileFormats()
{
    static TFileFormatsList list = [] {
        TFileFormatsList l;
        AddFrameworkFormats(l);
        AddJPEGFormats(l);
        AddImageReaderFormats(l);
        AddLibraryFormats(l);
        return l;
    }();
    return list;
}

} // namespace tessaria
