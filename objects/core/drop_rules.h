// Geometry of draggable items: where a released item lands, whether an area
// is taken by another item, where Cheat puts an item and the positions of
// the glide that moves an item.  Pixels in the question area; no toolkit.
//
// Overlap: two spans overlap when an end of one lies between the ends of the
// other (ends included, either order of the ends) or one holds the other;
// touching edges count.  Two rectangles overlap when both spans do.
// Dropping: the first defined target (index order 0..99) that overlaps the
// item's rectangle wins; the item is centred on it with truncating halves:
// x = left + width / 2 - itemWidth / 2, likewise y.
#pragma once

#include "objects/core/drag_targets.h"

#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace zx {

struct ItemRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Position {
    int x = 0;
    int y = 0;
    bool operator==(const Position&) const = default;
};

bool spansOverlap(long long a1, long long a2, long long b1, long long b2);
bool rectanglesOverlap(const ItemRect& a, const ItemRect& b);

// The top-left corner that centres an item of the given size on a target.
Position centreOnTarget(const DragTarget& target, int itemWidth, int itemHeight);

// The first defined target the item's rectangle overlaps, or nothing.
std::optional<int> findDropTarget(const DragTargets& targets, const ItemRect& item);

// True when `area` overlaps any of `otherItems` (the rectangles of the
// page's other items that have a visual).
bool isAreaTaken(const ItemRect& area, std::span<const ItemRect> otherItems);

// False exactly when the record's `dragCanIntersect` is "0": the item may
// not be placed where it would overlap another item.
bool itemsMayOverlap(std::string_view record);

// Asked with the rectangle an item would take; true when it is taken.
using AreaTakenQuery = std::function<bool(const ItemRect&)>;

// The outcome of a release.  placedIndex -1 means the item glides home and
// is no longer placed; otherwise it glides to `destination` and sits on
// that target.
struct DropOutcome {
    int placedIndex = -1;
    Position destination;
};
// `home` is the record's (DragLeft, DragTop).  When `mayOverlap` is false,
// a centred position that `areaTaken` reports taken sends the item home.
DropOutcome decideDrop(const DragTargets& targets, const ItemRect& released, Position home, bool mayOverlap,
                       const AreaTakenQuery& areaTaken);

// The targets that show the item's answer, in index order: the defined
// targets with the highest mark, provided it beats `notSelectedMark`;
// empty when no target beats it.
std::vector<int> cheatCandidates(const DragTargets& targets, int notSelectedMark);

// Where Cheat puts an item of the given size: the first candidate whose
// centred position is free (any, when `mayOverlap`), or nothing for home.
std::optional<Position> cheatPosition(const DragTargets& targets, int notSelectedMark, int itemWidth,
                                      int itemHeight, bool mayOverlap, const AreaTakenQuery& areaTaken);

// The stored placement: userAnswer (default -1) when it names a defined
// target, otherwise -1 (not placed).
int storedPlacement(std::string_view record, const DragTargets& targets);

// The positions of a glide from `from` to `to`, one per step, the last
// being exactly `to`.  The longer axis advances one pixel per step and the
// shorter one proportionally (halves round to the even neighbour); the
// steps stop when either coordinate reaches its goal or after 2000 steps,
// then the item is put exactly on `to`.  A move along one axis only is a
// single jump.
std::vector<Position> glidePath(Position from, Position to);

} // namespace zx
