// The order in which a page is read and walked with the keyboard: rows from
// top to bottom, and within a row from left to right.  Also which text on a
// page names an answer object for a screen reader.  Pixels of the question
// area; no toolkit.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace zx {

struct PageBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    long long right() const { return static_cast<long long>(left) + width; }
    long long bottom() const { return static_cast<long long>(top) + height; }
};

// The indexes of `boxes` in reading order.  Boxes are taken by their top
// edge; a box whose top lies in the upper half of the first box of the
// current row (at least its first pixel) joins that row, so a label a few
// pixels lower than the box beside it is read on the same line.  Within a
// row boxes go by their left edge; equal boxes keep their given order.
std::vector<std::size_t> readingOrder(std::span<const PageBox> boxes);

// Where a label stands: before a box to type into, after a button to
// choose (as forms are written from left to right).
enum class LabelSide { Left, Right };

// The text that names an answer object: among the texts on the object's
// line (their vertical spans overlap by at least half the lower of the two
// heights) whose middle lies on `side` of the object's middle, the nearest,
// at most `largestGap` pixels away.  Nothing when no text is there: a text
// above an object, or on its other side, is as often the question or a
// hint as its label, so the object's own name serves then.
std::optional<std::size_t> labelOf(const PageBox& object, std::span<const PageBox> texts, LabelSide side,
                                   int largestGap = 200);

} // namespace zx
