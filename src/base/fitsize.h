#pragma once
// Fits a picture of w x h into a box of W x H keeping its proportion; small
// pictures are scaled up as well.

namespace tessaria {

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize&) const = default;
};

TSize FitSize(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);

} // namespace tessaria
