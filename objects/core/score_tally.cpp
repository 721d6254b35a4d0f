#include "objects/core/score_tally.h"

#include "objects/core/answer_marks.h"

#include <algorithm>
#include <climits>

namespace zx {

int addHundredths(int a, int b)
{
    return static_cast<int>(std::clamp(static_cast<long long>(a) + b, static_cast<long long>(INT_MIN),
                                       static_cast<long long>(INT_MAX)));
}

void ScoreTally::add(const ObjectMarks& marks)
{
    score = addHundredths(score, marks.score);
    best = addHundredths(best, marks.best);
    worst = addHundredths(worst, marks.worst);
}

void ScoreTally::add(const ScoreTally& other)
{
    score = addHundredths(score, other.score);
    best = addHundredths(best, other.best);
    worst = addHundredths(worst, other.worst);
    items = addHundredths(items, other.items);
}

} // namespace zx
