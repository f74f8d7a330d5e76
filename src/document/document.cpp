#include "document/document.h"

#include "document/alignmentcode.h"

namespace tessaria {

TAlignment TDocumentBox::Alignment() const
{
    return AlignmentFromCode(AlignmentCode);
}

void TDocumentBox::SetAlignment(TAlignment alignment)
{
    AlignmentCode = AlignmentToCode(alignment);
}

int64_t TDocument::CountBoxes() const
{
    int64_t count = 0;
    for (const TDocumentPage& page : Pages)
        count += int64_t(page.Boxes.size());
    return count;
}

std::string JoinTextLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> SplitTextLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace tessaria
