#include "document/links.h"

#include <algorithm>
#include <unordered_map>

namespace tessaria {

TLinkPairing PairLinks(const std::vector<TLinkCandidate>& boxes)
{
    struct TTagGroup {
        int Picture = -1; // positions in `boxes`
        int Text = -1;
    };
    std::unordered_map<int32_t, TTagGroup> groups;
    TLinkPairing result;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const TLinkCandidate& box = boxes[i];
        if (box.Tag == 0)
            continue;
        TTagGroup& group = groups[box.Tag];
        int& slot = box.TextBox ? group.Text : group.Picture;
        if (slot < 0)
            slot = int(i);
        else
            result.Conflicts.push_back(box.Index);
    }
    std::vector<std::pair<int, int>> pairs; // positions of parent and child
    for (const auto& [tag, group] : groups)
        if (group.Picture >= 0 && group.Text >= 0)
            pairs.emplace_back(group.Picture, group.Text);
    std::sort(pairs.begin(), pairs.end());
    for (const auto& [parent, child] : pairs)
        result.Pairs.push_back({boxes[size_t(parent)].Index, boxes[size_t(child)].Index});
    return result;
}

} // namespace tessaria
