#pragma once
// Small documents of every generation, each as hand-built bytes together with
// the model a reader must make of them.

#include <cstdint>
#include <vector>

#include "document/document.h"

namespace tessaria::test {

struct TSample {
    const char* Name;
    std::vector<uint8_t> Bytes;
    TDocument Document;
};

// Three pages (the second without boxes): a picture box partly off the page
// with a UTF-8 path, its two-line caption linked by tag 5 with an empty font
// name, and a lone picture box.
TSample Generation3Sample();
// Generation 2: a picture box and a text box with fonts and a Windows-1252
// font name, no tags.
TSample Generation2Sample();
// Generation 1: two pages of picture boxes, one path in Windows-1252.
TSample Generation1Sample();

std::vector<TSample> AllSamples();

} // namespace tessaria::test
