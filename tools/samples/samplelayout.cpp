#include "samplelayout.h"

namespace tessaria {

namespace {

// A Letter sheet with the page setup's default margins: 7.5 x 9.1 inches
// printable, a page surface of 330 x 400 at 44 pixels per inch.
constexpr int PageWidth = 330;
constexpr int PageHeight = 400;
constexpr int PagePPI = 44;
constexpr int Navy = 128 << 16; // red in the low byte

enum TAlign { Left = 0, Centre = 1 };

TDocumentBox Picture(const std::string& folder, const char* name, int left, int top, int width, int height,
                     int tag, int rotation = 0)
{
    TDocumentBox box;
    box.Left = left;
    box.Top = top;
    box.Width = width;
    box.Height = height;
    box.Rotation = rotation;
    box.CanvasPPI = PagePPI;
    box.FontName = "Arial";
    box.FontSize = 10;
    box.AlignmentCode = Centre;
    box.Tag = tag;
    box.SetTextBox(false);
    box.FileName = folder + "/" + name;
    return box;
}

TDocumentBox Text(const std::vector<std::string>& lines, int left, int top, int width, int height, int tag,
                  int size = 10, int align = Centre, int colour = 0)
{
    TDocumentBox box;
    box.Left = left;
    box.Top = top;
    box.Width = width;
    box.Height = height;
    box.CanvasPPI = PagePPI;
    box.FontName = "Arial";
    box.FontSize = size;
    box.FontColor = colour;
    box.AlignmentCode = align;
    box.Tag = tag;
    box.SetTextBox(true);
    box.Lines = lines;
    return box;
}

// A caption sits under its picture, as wide as it, 18 pixels high.
TDocumentBox Caption(const TDocumentBox& picture, const std::string& text)
{
    return Text({text}, picture.Left, picture.Top + picture.Height, picture.Width, 18, picture.Tag);
}

TDocumentPage Page(std::vector<TDocumentBox> boxes)
{
    TDocumentPage page;
    page.Orientation = 0;
    page.Width = PageWidth;
    page.Height = PageHeight;
    page.Boxes = std::move(boxes);
    return page;
}

} // namespace

const std::vector<TSamplePicture>& SamplePictures()
{
    static const std::vector<TSamplePicture> pictures = {
        {"harbour.jpg", 1500, 1000},
        {"meadow.jpg", 1200, 900},
        // Taken with the camera on its side: stored lying down, shown upright
        // by a quarter turn clockwise.
        {"lighthouse.jpg", 1500, 1000},
        {"mosaic.jpg", 1000, 1000},
    };
    return pictures;
}

TDocument SampleLayout(const std::string& pictureFolder)
{
    std::string folder = pictureFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();

    const TDocumentBox harbour = Picture(folder, "harbour.jpg", 15, 42, 300, 200, 1);
    const TDocumentBox meadow = Picture(folder, "meadow.jpg", 15, 272, 140, 105, 2);
    const TDocumentPage first = Page({
        Text({"A day by the sea"}, 15, 8, 300, 28, 0, 18, Centre, Navy),
        harbour,
        Caption(harbour, "Harbour at dusk"),
        meadow,
        Caption(meadow, "Meadow in June"),
        Text({"Press Preview to see the pages as they print.",
              "Every picture is read again from its file and resampled to the printer's resolution."},
             170, 276, 145, 110, 0, 9, Left),
    });

    // 1000 x 1500 as shown: the box has the turned proportion.
    const TDocumentBox lighthouse = Picture(folder, "lighthouse.jpg", 15, 15, 200, 300, 3, 90);
    const TDocumentBox mosaic = Picture(folder, "mosaic.jpg", 230, 15, 85, 85, 4);
    const TDocumentPage second = Page({
        lighthouse,
        Caption(lighthouse, "The lighthouse, turned upright"),
        mosaic,
        Caption(mosaic, "Mosaic"),
        Text({"Boxes move, resize and turn; a caption stays under its picture.",
              "Save the layout as a .tsd document to open it again."},
             230, 130, 85, 170, 0, 9, Left),
    });

    TDocument document;
    document.Pages = {first, second};
    return document;
}

} // namespace tessaria
