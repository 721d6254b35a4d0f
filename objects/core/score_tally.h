// ScoreTally: the sums kept for a marked page, a question, a category and
// the whole test - score (marks got), best (the most the objects allow),
// worst (the least), all in hundredths, and a count of answer items.
// Sums saturate at the 32-bit limits instead of wrapping round.
#pragma once

namespace zx {

struct ObjectMarks;

struct ScoreTally {
    int score = 0;
    int best = 0;
    int worst = 0;
    int items = 0;

    // Adds one object's score, best and worst (not its item: callers count
    // items by their own rules).
    void add(const ObjectMarks& marks);
    // Adds all four sums of another tally.
    void add(const ScoreTally& other);

    bool operator==(const ScoreTally&) const = default;
};

// a + b held within the 32-bit range.
int addHundredths(int a, int b);

} // namespace zx
