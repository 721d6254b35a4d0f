// The marks of one answer object: what it scores, the most and the least
// it could score, the report's verdict and whether a tick or a cross goes
// beside it.  The live page objects (zxField, zxButton, zxDrag) mark their
// current answer with these functions and the end-of-test scoring marks the
// stored records with the markStored* forms, so both always agree.
//
// All marks are hundredths (parseHundredths of the record's mark keys).
//   Field:  C = FieldMarkIfCorrect, I = FieldMarkIfIncorrect,
//           N = FieldMarkIfNotSelected; best/worst = max/min(C, I, N);
//           empty normalised answer -> N, correct -> C, wrong -> I.
//   Button: buttonType 0: S = buttonMarkIfSelected, N = ...IfNotSelected;
//           state 1 -> S, else N.  buttonType 1: T = ...IfTrueSelected,
//           F = ...IfFalseSelected, X = ...IfNoTFSelection; state 0 -> X,
//           1 -> T, anything else -> F.  Other types mark nothing.
//   Drag:   N = DragMarkIfNotSelected; best/worst over N and the marks of
//           all defined targets; on a defined target -> its mark, else N.
// A tick shows when the object is answered and score = best != worst; an
// answered object otherwise gets a cross; an unanswered one gets neither.
#pragma once

#include "objects/core/drag_targets.h"

#include <string>
#include <string_view>

namespace zx {

enum class AnswerVerdict {
    None,          // a button of an unknown type: no report lines
    Selected,      // choice button
    NotSelected,
    NoSelection,   // true/false button
    TrueSelected,
    FalseSelected,
    NotAnswered,   // typed-answer field
    Answered,
    DroppedOn,     // drag item (targetIndex, answerText = the target's name)
    NotDropped,
};

enum class MarkSign { None, Tick, Cross };

struct ObjectMarks {
    int score = 0;
    int best = 0;
    int worst = 0;
    AnswerVerdict verdict = AnswerVerdict::None;
    // The candidate gave an answer, so a tick or a cross is shown.
    bool answered = false;
    // Field: the answer as the report shows it (reportedAnswer).
    // Drag on a target: that target's name.
    std::string answerText;
    // Drag: the target the item sits on, -1 for none.
    int targetIndex = -1;

    MarkSign sign() const;
};

// A field holding `typed` (the box's text, or the stored `userAnswer`).
ObjectMarks markField(std::string_view record, std::string_view typed);
ObjectMarks markStoredField(std::string_view record);

// A button in `state` (choice: 0 not selected, 1 selected; true/false:
// 0 no answer, 1 true, 2 false).
ObjectMarks markButton(std::string_view record, int state);
ObjectMarks markStoredButton(std::string_view record); // storedButtonState

// A drag item placed on `placedIndex` (-1 for none).  An index that names
// no defined target counts as not placed.
ObjectMarks markDrag(const DragTargets& targets, int notSelectedMark, int placedIndex);
ObjectMarks markDrag(std::string_view record, int placedIndex);
ObjectMarks markStoredDrag(std::string_view record); // userAnswer, default -1

} // namespace zx
