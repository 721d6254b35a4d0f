#include "objects/core/answer_marks.h"

#include "objects/core/choice_rules.h"
#include "objects/core/typed_answer.h"
#include "tagtext/tagged_text.h"

#include <algorithm>

namespace zx {

namespace {

int markOf(std::string_view record, std::string_view key) { return parseHundredths(getTag(record, key)); }

} // namespace

MarkSign ObjectMarks::sign() const
{
    if (!answered)
        return MarkSign::None;
    return score == best && best != worst ? MarkSign::Tick : MarkSign::Cross;
}

ObjectMarks markField(std::string_view record, std::string_view typed)
{
    const int c = markOf(record, "FieldMarkIfCorrect");
    const int i = markOf(record, "FieldMarkIfIncorrect");
    const int n = markOf(record, "FieldMarkIfNotSelected");
    ObjectMarks marks;
    marks.best = std::max({c, i, n});
    marks.worst = std::min({c, i, n});
    const std::string answer = normaliseAnswer(typed);
    if (answer.empty()) {
        marks.score = n;
        marks.verdict = AnswerVerdict::NotAnswered;
        return marks;
    }
    marks.answered = true;
    marks.verdict = AnswerVerdict::Answered;
    marks.score = isTypedAnswerCorrect(record, answer) ? c : i;
    marks.answerText = reportedAnswer(record, answer);
    return marks;
}

ObjectMarks markStoredField(std::string_view record) { return markField(record, getTag(record, "userAnswer")); }

ObjectMarks markButton(std::string_view record, int state)
{
    ObjectMarks marks;
    const int type = getTagInt(record, "buttonType", 0);
    if (type == 0) {
        const int s = markOf(record, "buttonMarkIfSelected");
        const int n = markOf(record, "buttonMarkIfNotSelected");
        marks.best = std::max(s, n);
        marks.worst = std::min(s, n);
        const bool selected = state == 1;
        marks.score = selected ? s : n;
        marks.verdict = selected ? AnswerVerdict::Selected : AnswerVerdict::NotSelected;
        marks.answered = selected;
    } else if (type == 1) {
        const int t = markOf(record, "buttonMarkIfTrueSelected");
        const int f = markOf(record, "buttonMarkIfFalseSelected");
        const int x = markOf(record, "buttonMarkIfNoTFSelection");
        marks.best = std::max({t, f, x});
        marks.worst = std::min({t, f, x});
        if (state == 0) {
            marks.score = x;
            marks.verdict = AnswerVerdict::NoSelection;
        } else if (state == 1) {
            marks.score = t;
            marks.verdict = AnswerVerdict::TrueSelected;
        } else {
            marks.score = f;
            marks.verdict = AnswerVerdict::FalseSelected;
        }
        marks.answered = state >= 1;
    }
    return marks;
}

ObjectMarks markStoredButton(std::string_view record)
{
    return markButton(record, storedButtonState(record));
}

ObjectMarks markDrag(const DragTargets& targets, int notSelectedMark, int placedIndex)
{
    ObjectMarks marks;
    marks.best = notSelectedMark;
    marks.worst = notSelectedMark;
    for (int i = 0; i < DragTargets::slotCount; ++i) {
        if (!targets.isDefined(i))
            continue;
        const int m = targets.at(i).mark();
        marks.best = std::max(marks.best, m);
        marks.worst = std::min(marks.worst, m);
    }
    if (targets.isDefined(placedIndex)) {
        const DragTarget& target = targets.at(placedIndex);
        marks.score = target.mark();
        marks.verdict = AnswerVerdict::DroppedOn;
        marks.answered = true;
        marks.answerText = target.name;
        marks.targetIndex = placedIndex;
    } else {
        marks.score = notSelectedMark;
        marks.verdict = AnswerVerdict::NotDropped;
    }
    return marks;
}

ObjectMarks markDrag(std::string_view record, int placedIndex)
{
    return markDrag(DragTargets::fromRecord(record), markOf(record, "DragMarkIfNotSelected"), placedIndex);
}

ObjectMarks markStoredDrag(std::string_view record)
{
    return markDrag(record, getTagInt(record, "userAnswer", -1));
}

} // namespace zx
