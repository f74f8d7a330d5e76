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
// within its 1999 bytes.
//
// What is not: the padding's contents and the byte after a generation 1 CR
// (the older program never looked at them, and a layout that is otherwise
// whole should open); the header's box count (it only drives the progress
// display); the three characters after a generation 1 file's leading "1";
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
