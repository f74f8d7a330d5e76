#pragma once
// Pairing linked boxes after a document is opened: a picture box and its
// caption text box carry the same nonzero tag, and the picture box becomes the
// parent, the text box the child.
//
// The older rule (every box with every other box of its tag) gives two picture
// boxes or two text boxes of one tag a link each way, and three boxes of one
// tag a picture whose child is one caption while both captions call it their
// parent. Links that point in a circle or one way only break moving and
// deleting, so here each tag gives at most one pair: the first picture box and
// the first text box of that tag, in box order. Any other box of the tag is
// left unlinked and the pairing reports a conflict (the open command shows
// "Error setting links!"). A tag held by one box alone is no conflict: cutting
// a caption leaves its picture's tag as it was.

#include <cstdint>
#include <vector>

namespace tessaria {

struct TLinkCandidate {
    int Index;   // the caller's number for the box
    int32_t Tag;
    bool TextBox;
};

struct TLinkPair {
    int Parent;  // the picture box
    int Child;   // its text box

    bool operator==(const TLinkPair&) const = default;
};

struct TLinkPairing {
    std::vector<TLinkPair> Pairs;  // in the order of the parents
    std::vector<int> Conflicts;    // boxes left unlinked because their tag was taken
    bool Ok() const { return Conflicts.empty(); }
};

// Boxes in creation order (all pages: tags are document-wide).
TLinkPairing PairLinks(const std::vector<TLinkCandidate>& boxes);

} // namespace tessaria
