// Pointer and answer-display rules of a choice button (<zxButton> record,
// `buttonType` 0) and a true/false button (`buttonType` 1).
//
// A true/false button is one picture: a press or release at X (pixels from
// the picture's left edge) answers true when X <= half width and false when
// X > half width.  The half width is the base picture's width / 2 (integer
// division) when that width is above 2 pixels, else 50: on a 100-pixel
// picture X = 50 is true and X = 51 false.
#pragma once

#include <string_view>

namespace zx {

enum class ButtonKind { Choice, TrueFalse, None };

// getTagInt(record, "buttonType", 0): 0 Choice, 1 TrueFalse, other None
// (shows nothing and marks nothing).
ButtonKind buttonKind(std::string_view record);

// The state a button starts in from its stored `userAnswer` (default 0),
// limited to the states it can show: a choice button is selected only for 1;
// a true/false button keeps 0 and 1 and shows any other value as false (2),
// which is also how the value is marked.
int storedButtonState(std::string_view record);

int trueFalseHalfWidth(int basePictureWidth);
// 1 (true) when x <= halfWidth, else 2 (false).
int trueFalseValueAt(int x, int halfWidth);

// The new state after a release answering `releasedValue` (1 or 2): the
// same value again clears the answer (0), anything else takes the value.
int trueFalseStateAfterRelease(int state, int releasedValue);

// The pictures that show the correct answer while Cheat is held (all
// hover pictures hidden).
struct ButtonCheatView {
    bool showSelected = false; // s3: buttonMarkIfNotSelected < buttonMarkIfSelected
    bool showTrue = false;     // tf4: T > F and T >= X
    bool showFalse = false;    // tf5: F >= T and F > X (a tie of T and F goes to false)
};
ButtonCheatView buttonCheatView(std::string_view record);

} // namespace zx
