#include "imageio/graphic.h"

#include "imageio/stream.h"

namespace tessaria {

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName);
    LoadFromStream(stream);
}

} // namespace tessaria
