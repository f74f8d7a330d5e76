#include "document/documentmessages.h"

#include "base/format.h"

namespace tessaria {

std::string MissingPicturesMessage(const std::vector<std::string>& fileNames, size_t shown)
{
    if (fileNames.empty())
        return {};
    std::string text = fileNames.size() == 1
        ? std::string("This picture could not be read:")
        : Format("These %zu pictures could not be read:", fileNames.size());
    for (size_t i = 0; i < fileNames.size() && i < shown; ++i)
        text += "\n" + fileNames[i];
    if (fileNames.size() > shown)
        text += Format("\n... and %zu more", fileNames.size() - shown);
    text += "\n\nTheir boxes are kept and are saved with the document.";
    return text;
}

} // namespace tessaria
