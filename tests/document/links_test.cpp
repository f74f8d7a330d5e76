#include <gtest/gtest.h>

#include "document/links.h"

using namespace tessaria;

namespace tessaria {

void PrintTo(const TLinkPair& p, std::ostream* os)
{
    *os << p.Parent << "->" << p.Child;
}

} // namespace tessaria

TEST(PairLinks, OnePictureAndOneTextPerTag)
{
    // Box numbers start at 10 so that a mix-up of positions and numbers shows.
    const auto boxes = [](std::vector<std::pair<int32_t, bool>> tagsAndKinds) {
        std::vector<TLinkCandidate> list;
        for (size_t i = 0; i < tagsAndKinds.size(); ++i)
            list.push_back({int(10 + i), tagsAndKinds[i].first, tagsAndKinds[i].second});
        return list;
    };
    constexpr bool P = false, T = true;
    struct Case {
        const char* name;
        std::vector<TLinkCandidate> boxes;
        std::vector<TLinkPair> pairs;
        std::vector<int> conflicts;
    };
    const Case cases[] = {
        {"picture then caption", boxes({{5, P}, {5, T}}), {{10, 11}}, {}},
        {"caption before its picture", boxes({{5, T}, {5, P}}), {{11, 10}}, {}},
        {"untagged boxes", boxes({{0, P}, {0, T}, {0, P}}), {}, {}},
        {"a tag held by one box", boxes({{3, P}, {0, T}}), {}, {}},
        {"two pictures of one tag", boxes({{4, P}, {4, P}}), {}, {11}},
        {"two texts of one tag", boxes({{4, T}, {4, T}}), {}, {11}},
        {"three boxes of one tag", boxes({{4, P}, {4, T}, {4, T}}), {{10, 11}}, {12}},
        {"a second picture before the text", boxes({{4, P}, {4, P}, {4, T}}), {{10, 12}}, {11}},
        {"several tags, negative too", boxes({{2, T}, {-1, P}, {2, P}, {0, T}, {-1, T}}), {{11, 14}, {12, 10}}, {}},
        {"pairs in the order of their pictures",
         boxes({{9, P}, {8, P}, {7, P}, {6, P}, {5, P}, {5, T}, {6, T}, {7, T}, {8, T}, {9, T}}),
         {{10, 19}, {11, 18}, {12, 17}, {13, 16}, {14, 15}}, {}},
    };
    for (const Case& c : cases) {
        const TLinkPairing result = PairLinks(c.boxes);
        EXPECT_EQ(result.Pairs, c.pairs) << c.name;
        EXPECT_EQ(result.Conflicts, c.conflicts) << c.name;
        EXPECT_EQ(result.Ok(), c.conflicts.empty()) << c.name;
    }
}
