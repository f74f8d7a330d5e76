#pragma once
// Reading layout documents of generations 1, 2 and 3: a parser of untrusted
// data. The whole file is read and checked into a TDocument before the caller
// touches its layout; any damage raises EInvalidDocument and nothing is built.
//
// What counts as damage: an unknown first byte; a file that ends inside a
// record (its 1024 padding bytes included); a negative count or string length;
// a count of pages or boxes whose smallest records would not fit in the bytes
// left; a string longer than the bytes left; a generation 1 number field that
// is not a right-aligned decimal integer; a generation 1 path with no CR
// within its 1999 bytes; a page or box record whose padding is not zero;
// pages whose box counts do not add up to the header's box count. The last
// two are the traces a page's miscount leaves when the records after it
// happen to parse: the next page's record read as a box, later records
// shifted so that their fields land in padding, or a box read from trailing
// zeros, make a layout no one saved.
//
// What is not: the header's padding and the byte after a generation 1 CR
// (the older program never looked at them, nothing can be shifted into the
// header, and a layout that is otherwise whole should open); the header's
// box count where it cannot be held against
// the pages (a document without pages, a negative count: it then only drives
// the progress display); the three characters after a generation 1 file's leading "1";
// values such as a rotation or kind outside their range, which the boxes
// handle. Bytes after the last record are ignored when they are all zero or
// too few to hold any record; more bytes than that, not all zero, mean the
// counts do not describe the file (a miscounted page would be dropped without
// a word and lost on the next save), so the file is not valid.

#include <cstdint>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "document/document.h"
#include "document/documentmessages.h"

namespace tessaria {

// Damaged or unknown files, with the text the open command shows for both.
class EInvalidDocument : public Exception {
public:
    EInvalidDocument() : Exception(NotValidDocumentMessage) {}
};

// 1, 2 or 3 by the first byte of a file ("1", 0x02, 0x03); 0 for anything else.
int DocumentGeneration(uint8_t firstByte);

// The largest file taken as a document (some 250,000 boxes).
inline constexpr uint64_t MaxDocumentBytes = uint64_t(256) << 20;

TDocument ReadDocument(const uint8_t* data, size_t size);
TDocument ReadDocument(const std::vector<uint8_t>& bytes);

// Reads the file whole, then as above. A file that cannot be read raises
// EInOutError naming it; one whose first byte is no generation raises
// EInvalidDocument before the rest is read.
TDocument ReadDocumentFile(const std::string& path);

} // namespace tessaria
