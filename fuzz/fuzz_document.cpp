// Fuzz target: the layout document reader. Damage must come out as
// EInvalidDocument; a document that reads must write back and read again to
// the same model (as generation 3, with the header's count made true).
#include <cstdio>
#include <cstdlib>

#include "document/documentreader.h"
#include "document/documentwriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tessaria;
    TDocument document;
    try {
        document = ReadDocument(data, size);
    } catch (const EInvalidDocument&) {
        return 0;
    }
    document.Generation = 3;
    document.BoxCount = int32_t(document.CountBoxes());
    for (TDocumentPage& page : document.Pages)
        for (TDocumentBox& box : page.Boxes)
            box.SetTextBox(box.TextBox());
    if (!(ReadDocument(DocumentBytes(document)) == document)) {
        std::fprintf(stderr, "document changed on its way through the writer\n");
        std::abort();
    }
    return 0;
}
