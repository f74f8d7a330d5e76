#include "samples.h"

#include "filebuilder.h"

namespace tessaria::test {

namespace {

TDocumentBox Box(int32_t left, int32_t top, int32_t width, int32_t height, int32_t rotation)
{
    TDocumentBox box;
    box.Left = left;
    box.Top = top;
    box.Width = width;
    box.Height = height;
    box.Rotation = rotation;
    return box;
}

TDocumentBox Styled(TDocumentBox box, int32_t ppi, std::string font, int32_t size, int32_t colour,
                    int32_t alignment, int32_t tag, int32_t kind)
{
    box.CanvasPPI = ppi;
    box.FontName = std::move(font);
    box.FontSize = size;
    box.FontColor = colour;
    box.AlignmentCode = alignment;
    box.Tag = tag;
    box.Kind = kind;
    return box;
}

} // namespace

TSample Generation3Sample()
{
    TFileBuilder f;
    f.Int32(3).Int32(3).Int32(3).Pad();
    f.Int32(2).Int32(1).Int32(400).Int32(283).Pad();
    AddBox(f, 3, {-15, -7, 120, 90, 90, 48, "Arial", 12, -16777208, 0, 5, 0, "/home/ann/Bilder/Stra\xc3\x9f" "e.jpg"});
    AddBox(f, 3, {-15, 83, 120, 30, 0, 48, "", 10, 255, 1, 5, 1, "Line one\r\n\r\nLine three\r\n"});
    f.Int32(0).Int32(1).Int32(400).Int32(283).Pad();
    f.Int32(1).Int32(1).Int32(400).Int32(283).Pad();
    AddBox(f, 3, {200, 150, 180, 120, 270, 48, "Times New Roman", 9, 0, 2, 0, 0, "/pics/b.jpg"});

    TDocument d;
    d.Generation = 3;
    d.BoxCount = 3;
    TDocumentPage page{1, 400, 283, {}};
    TDocumentBox picture = Styled(Box(-15, -7, 120, 90, 90), 48, "Arial", 12, -16777208, 0, 5, 0);
    picture.FileName = "/home/ann/Bilder/Stra\xc3\x9f" "e.jpg";
    TDocumentBox caption = Styled(Box(-15, 83, 120, 30, 0), 48, "", 10, 255, 1, 5, 1);
    caption.Lines = {"Line one", "", "Line three"};
    page.Boxes = {picture, caption};
    d.Pages.push_back(page);
    d.Pages.push_back({1, 400, 283, {}});
    TDocumentBox lone = Styled(Box(200, 150, 180, 120, 270), 48, "Times New Roman", 9, 0, 2, 0, 0);
    lone.FileName = "/pics/b.jpg";
    d.Pages.push_back({1, 400, 283, {lone}});
    return {"generation 3", f.Bytes, d};
}

TSample Generation2Sample()
{
    TFileBuilder f;
    f.Int32(2).Int32(1).Int32(2).Pad();
    f.Int32(2).Int32(0).Int32(283).Int32(400).Pad();
    AddBox(f, 2, {10, 20, 150, 100, 180, 40, "Arial", 14, 0x0000FF, 2, 0, 0, "C:\\Bilder\\Br\xfc" "cke.bmp"});
    AddBox(f, 2, {10, 130, 150, 40, 0, 40, "Caf\xe9 Sans", 11, 0x00FF00, 1, 0, 1, "Die Br\xfc" "cke\r\n1998"});

    TDocument d;
    d.Generation = 2;
    d.BoxCount = 2;
    TDocumentBox picture = Styled(Box(10, 20, 150, 100, 180), 40, "Arial", 14, 0x0000FF, 2, 0, 0);
    picture.FileName = "C:\\Bilder\\Br\xc3\xbc" "cke.bmp";
    TDocumentBox text = Styled(Box(10, 130, 150, 40, 0), 40, "Caf\xc3\xa9 Sans", 11, 0x00FF00, 1, 0, 1);
    text.Lines = {"Die Br\xc3\xbc" "cke", "1998"};
    d.Pages.push_back({0, 283, 400, {picture, text}});
    return {"generation 2", f.Bytes, d};
}

TSample Generation1Sample()
{
    TFileBuilder f;
    f.Raw("1.00").Field(2, 4).Field(3, 4).Pad();
    f.Field(2, 4).Field(0, 4).Field(283, 8).Field(400, 8).Pad();
    f.Field(-12, 8).Field(30, 8).Field(100, 8).Field(75, 8).Field(90, 8).Raw("/pics/a.jpg\r\n").Pad();
    f.Field(-1234567, 8).Field(12345678, 8).Field(1, 8).Field(0, 8).Field(0, 8).Raw("/pics/Caf\xe9.jpg\r\n").Pad();
    f.Field(1, 4).Field(0, 4).Field(283, 8).Field(400, 8).Pad();
    f.Field(0, 8).Field(0, 8).Field(50, 8).Field(50, 8).Field(0, 8).Raw("\r\n").Pad();

    TDocument d;
    d.Generation = 1;
    d.BoxCount = 3;
    TDocumentBox a = Box(-12, 30, 100, 75, 90);
    a.FileName = "/pics/a.jpg";
    TDocumentBox b = Box(-1234567, 12345678, 1, 0, 0);
    b.FileName = "/pics/Caf\xc3\xa9.jpg";
    TDocumentBox empty = Box(0, 0, 50, 50, 0);
    d.Pages.push_back({0, 283, 400, {a, b}});
    d.Pages.push_back({0, 283, 400, {empty}});
    return {"generation 1", f.Bytes, d};
}

std::vector<TSample> AllSamples()
{
    return {Generation1Sample(), Generation2Sample(), Generation3Sample()};
}

} // namespace tessaria::test
