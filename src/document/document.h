#pragma once
// A layout document as its file holds it: pages in page order, each with the
// records of its boxes in creation order. Plain values, no widgets: the main
// window's open command builds boxes from it, the save command fills it from
// its boxes.

#include <cstdint>
#include <string>
#include <vector>

#include "base/alignment.h"

namespace tessaria {

// One box record. Strings are UTF-8.
struct TDocumentBox {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Rotation = 0;   // degrees clockwise, kept as stored even when not a quarter turn
    // Generations 2 and 3 only; a generation 1 box leaves them 0 and the box
    // keeps its own defaults (see TDocument::HasBoxStyle).
    int32_t CanvasPPI = 0;
    std::string FontName;
    int32_t FontSize = 0;
    int32_t FontColor = 0;  // negative values are system colours
    int32_t AlignmentCode = 0; // the file's code: 0 left, 1 centre, 2 right
    // Generation 3 only; 0 is no link.
    int32_t Tag = 0;
    int32_t Kind = 0;       // 1 text box; any other value reads as a picture box
    // The record's string: the picture's path for a picture box, the text
    // (split into lines, no line breaks inside) for a text box.
    std::string FileName;
    std::vector<std::string> Lines;

    bool TextBox() const { return Kind == 1; }
    void SetTextBox(bool textBox) { Kind = textBox ? 1 : 0; }
    TAlignment Alignment() const;
    void SetAlignment(TAlignment alignment);

    bool operator==(const TDocumentBox&) const = default;
};

struct TDocumentPage {
    int32_t Orientation = 0; // the main window's LayoutOrientation when saved
    int32_t Width = 0;       // page surface, pixels
    int32_t Height = 0;
    std::vector<TDocumentBox> Boxes;

    bool operator==(const TDocumentPage&) const = default;
};

struct TDocument {
    int Generation = 3;
    // The header's box count as read. Only good for a progress display: it is
    // not checked against the records. The writer writes the real total.
    int32_t BoxCount = 0;
    std::vector<TDocumentPage> Pages;

    // Generations 1 and 2 open with the older-format warning.
    bool IsOlderFormat() const { return Generation < 3; }
    // Generation 1 stores no CanvasPPI, font or alignment.
    bool HasBoxStyle() const { return Generation >= 2; }
    // Only generation 3 stores link tags; links are set after loading it.
    bool HasLinks() const { return Generation >= 3; }

    // Box records of all pages.
    int64_t CountBoxes() const;

    bool operator==(const TDocument&) const = default;
};

// A text box's stored text from its lines: every line followed by CR LF.
std::string JoinTextLines(const std::vector<std::string>& lines);
// Back into lines, breaking at CR LF, a lone LF or a lone CR; a break at the
// very end gives no empty last line, so Join and Split undo each other.
std::vector<std::string> SplitTextLines(const std::string& text);

} // namespace tessaria
