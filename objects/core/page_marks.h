// Marking one page (the Mark button): every field, then every button, then
// every drag item is marked by the rules of answer_marks.h, and the page's
// score, best and worst are the plain sums of the objects' marks.  Each
// unanswered object adds its not-selected mark.  The totals then choose the
// feedback panels (feedback_rules.h); each object's own result says whether
// it shows a tick or a cross.  Marking changes no answer and may be run
// again at any time with the same result.
#pragma once

#include "objects/core/answer_marks.h"
#include "objects/core/score_tally.h"

#include <span>
#include <string_view>
#include <vector>

namespace zx {

// The answers are views: the records and texts must outlive markPage.
struct FieldAnswer {
    std::string_view record;
    std::string_view typed; // the box's current text
};
struct ButtonAnswer {
    std::string_view record;
    int state = 0;
};
struct DragAnswer {
    std::string_view record;
    int placedIndex = -1;
};

struct PageMarks {
    ScoreTally totals; // items = the number of objects marked
    std::vector<ObjectMarks> fields;
    std::vector<ObjectMarks> buttons;
    std::vector<ObjectMarks> drags;
};

PageMarks markPage(std::span<const FieldAnswer> fields, std::span<const ButtonAnswer> buttons,
                   std::span<const DragAnswer> drags);

} // namespace zx
