#pragma once
// The sample layout that a new user sees first: two pages of the sample
// pictures with captions, free text and one picture turned upright.

#include <string>
#include <vector>

#include "document/document.h"

namespace tessaria {

// A picture of the samples: its file name and its size as stored.
struct TSamplePicture {
    const char* FileName;
    int Width;
    int Height;
};

// Every sample picture, in the order they are drawn.
const std::vector<TSamplePicture>& SamplePictures();

// The file name of the sample layout in the samples folder.
inline constexpr const char* SampleLayoutFileName = "sample.tsd";

// The layout, its pictures in `pictureFolder` (an absolute path, where they
// will be when the layout is opened; documents hold full paths).
TDocument SampleLayout(const std::string& pictureFolder);

} // namespace tessaria
