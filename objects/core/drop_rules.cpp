#include "objects/core/drop_rules.h"

#include "tagtext/tagged_text.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace zx {

namespace {

constexpr int glideStepLimit = 2000;

bool between(long long v, long long a, long long b) { return (a <= v && v <= b) || (b <= v && v <= a); }

int clampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

int clampToInt(double v)
{
    return static_cast<int>(std::clamp(v, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

// Nearest integer, halves to the even neighbour.
double roundHalfEven(double v)
{
    const double low = std::floor(v);
    const double diff = v - low;
    if (diff > 0.5)
        return low + 1;
    if (diff < 0.5)
        return low;
    return std::fmod(low, 2.0) == 0 ? low : low + 1;
}

double clampedRatio(long long num, long long den)
{
    if (den == 0)
        return 0;
    const double magnitude = std::min(1.0, std::fabs(static_cast<double>(num) / static_cast<double>(den)));
    return num < 0 ? -magnitude : (num > 0 ? magnitude : 0.0);
}

ItemRect rectAt(Position p, int width, int height) { return {p.x, p.y, width, height}; }

} // namespace

bool spansOverlap(long long a1, long long a2, long long b1, long long b2)
{
    return between(a1, b1, b2) || between(a2, b1, b2) || (a1 <= b1 && a2 >= b2) || (a1 >= b1 && a2 <= b2);
}

bool rectanglesOverlap(const ItemRect& a, const ItemRect& b)
{
    const long long aRight = static_cast<long long>(a.left) + a.width;
    const long long aBottom = static_cast<long long>(a.top) + a.height;
    const long long bRight = static_cast<long long>(b.left) + b.width;
    const long long bBottom = static_cast<long long>(b.top) + b.height;
    return spansOverlap(a.left, aRight, b.left, bRight) && spansOverlap(a.top, aBottom, b.top, bBottom);
}

Position centreOnTarget(const DragTarget& target, int itemWidth, int itemHeight)
{
    // x1 + (x2 - x1) / 2 - (R - L) / 2, each half truncated toward zero.
    return {clampToInt(static_cast<long long>(target.left) + target.width / 2 - itemWidth / 2),
            clampToInt(static_cast<long long>(target.top) + target.height / 2 - itemHeight / 2)};
}

std::optional<int> findDropTarget(const DragTargets& targets, const ItemRect& item)
{
    for (int i = 0; i < DragTargets::slotCount; ++i) {
        if (!targets.isDefined(i))
            continue;
        const DragTarget& t = targets.at(i);
        if (rectanglesOverlap({t.left, t.top, t.width, t.height}, item))
            return i;
    }
    return std::nullopt;
}

bool isAreaTaken(const ItemRect& area, std::span<const ItemRect> otherItems)
{
    return std::any_of(otherItems.begin(), otherItems.end(),
                       [&](const ItemRect& other) { return rectanglesOverlap(other, area); });
}

bool itemsMayOverlap(std::string_view record) { return getTag(record, "dragCanIntersect") != "0"; }

DropOutcome decideDrop(const DragTargets& targets, const ItemRect& released, Position home, bool mayOverlap,
                       const AreaTakenQuery& areaTaken)
{
    const DropOutcome goHome{-1, home};
    const auto hit = findDropTarget(targets, released);
    if (!hit)
        return goHome;
    const Position there = centreOnTarget(targets.at(*hit), released.width, released.height);
    if (!mayOverlap && areaTaken && areaTaken(rectAt(there, released.width, released.height)))
        return goHome;
    return {*hit, there};
}

std::vector<int> cheatCandidates(const DragTargets& targets, int notSelectedMark)
{
    int best = notSelectedMark;
    std::vector<int> candidates;
    for (int i = 0; i < DragTargets::slotCount; ++i) {
        if (!targets.isDefined(i))
            continue;
        const int m = targets.at(i).mark();
        if (m > best) {
            best = m;
            candidates.assign(1, i);
        } else if (m == best) {
            candidates.push_back(i);
        }
    }
    if (best == notSelectedMark)
        candidates.clear();
    return candidates;
}

std::optional<Position> cheatPosition(const DragTargets& targets, int notSelectedMark, int itemWidth,
                                      int itemHeight, bool mayOverlap, const AreaTakenQuery& areaTaken)
{
    for (int i : cheatCandidates(targets, notSelectedMark)) {
        const Position there = centreOnTarget(targets.at(i), itemWidth, itemHeight);
        if (!mayOverlap && areaTaken && areaTaken(rectAt(there, itemWidth, itemHeight)))
            continue;
        return there;
    }
    return std::nullopt;
}

int storedPlacement(std::string_view record, const DragTargets& targets)
{
    const int stored = getTagInt(record, "userAnswer", -1);
    return targets.isDefined(stored) ? stored : -1;
}

std::vector<Position> glidePath(Position from, Position to)
{
    const long long dx = static_cast<long long>(to.x) - from.x;
    const long long dy = static_cast<long long>(to.y) - from.y;
    const double rx = clampedRatio(dx, dy);
    const double ry = clampedRatio(dy, dx);

    std::vector<Position> path;
    for (int k = 0; k < glideStepLimit; ++k) {
        const Position p{clampToInt(roundHalfEven(from.x + k * rx)), clampToInt(roundHalfEven(from.y + k * ry))};
        path.push_back(p);
        if (p.x == to.x || p.y == to.y)
            break;
    }
    if (path.back() != to)
        path.push_back(to);
    return path;
}

} // namespace zx
