#include "app/core/reading_order.h"

#include <algorithm>
#include <numeric>

namespace zx {

std::vector<std::size_t> readingOrder(std::span<const PageBox> boxes)
{
    std::vector<std::size_t> byTop(boxes.size());
    std::iota(byTop.begin(), byTop.end(), std::size_t{0});
    std::stable_sort(byTop.begin(), byTop.end(),
                     [&](std::size_t a, std::size_t b) { return boxes[a].top < boxes[b].top; });

    std::vector<std::size_t> order;
    order.reserve(boxes.size());
    std::size_t rowStart = 0;
    while (rowStart < byTop.size()) {
        const PageBox& first = boxes[byTop[rowStart]];
        const long long rowEnd = static_cast<long long>(first.top) + std::max(1, first.height / 2);
        std::size_t rowStop = rowStart + 1;
        while (rowStop < byTop.size() && boxes[byTop[rowStop]].top < rowEnd)
            ++rowStop;
        std::stable_sort(byTop.begin() + static_cast<std::ptrdiff_t>(rowStart),
                         byTop.begin() + static_cast<std::ptrdiff_t>(rowStop),
                         [&](std::size_t a, std::size_t b) { return boxes[a].left < boxes[b].left; });
        order.insert(order.end(), byTop.begin() + static_cast<std::ptrdiff_t>(rowStart),
                     byTop.begin() + static_cast<std::ptrdiff_t>(rowStop));
        rowStart = rowStop;
    }
    return order;
}

std::optional<std::size_t> labelOf(const PageBox& object, std::span<const PageBox> texts, LabelSide side,
                                   int largestGap)
{
    std::optional<std::size_t> beside;
    long long besideGap = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const PageBox& t = texts[i];
        if (t.width <= 0 || t.height <= 0)
            continue;
        const long long overlapY = std::min(object.bottom(), t.bottom()) - std::max<long long>(object.top, t.top);
        const long long lower = std::min(object.height, t.height);
        if (overlapY <= 0 || overlapY * 2 < lower)
            continue;
        // Twice the middles, to stay in whole numbers.
        const long long textMiddle = t.left + t.right();
        const long long objectMiddle = object.left + object.right();
        if (side == LabelSide::Left ? textMiddle >= objectMiddle : textMiddle <= objectMiddle)
            continue;
        // The gap between the nearer edges (0 when they overlap).
        const long long gap = std::max({0LL, t.left - object.right(), object.left - t.right()});
        if (gap <= largestGap && (!beside || gap < besideGap)) {
            beside = i;
            besideGap = gap;
        }
    }
    return beside;
}

} // namespace zx
