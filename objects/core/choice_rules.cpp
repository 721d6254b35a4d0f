#include "objects/core/choice_rules.h"

#include "tagtext/tagged_text.h"

namespace zx {

namespace {

int markOf(std::string_view record, std::string_view key) { return parseHundredths(getTag(record, key)); }

} // namespace

ButtonKind buttonKind(std::string_view record)
{
    switch (getTagInt(record, "buttonType", 0)) {
    case 0:
        return ButtonKind::Choice;
    case 1:
        return ButtonKind::TrueFalse;
    default:
        return ButtonKind::None;
    }
}

int storedButtonState(std::string_view record)
{
    const int stored = getTagInt(record, "userAnswer", 0);
    switch (buttonKind(record)) {
    case ButtonKind::Choice:
        return stored == 1 ? 1 : 0;
    case ButtonKind::TrueFalse:
        return stored == 0 || stored == 1 ? stored : 2;
    case ButtonKind::None:
        break;
    }
    return 0;
}

int trueFalseHalfWidth(int basePictureWidth) { return basePictureWidth > 2 ? basePictureWidth / 2 : 50; }

int trueFalseValueAt(int x, int halfWidth) { return x > halfWidth ? 2 : 1; }

int trueFalseStateAfterRelease(int state, int releasedValue) { return state == releasedValue ? 0 : releasedValue; }

ButtonCheatView buttonCheatView(std::string_view record)
{
    ButtonCheatView view;
    switch (buttonKind(record)) {
    case ButtonKind::Choice:
        view.showSelected = markOf(record, "buttonMarkIfNotSelected") < markOf(record, "buttonMarkIfSelected");
        break;
    case ButtonKind::TrueFalse: {
        const int t = markOf(record, "buttonMarkIfTrueSelected");
        const int f = markOf(record, "buttonMarkIfFalseSelected");
        const int x = markOf(record, "buttonMarkIfNoTFSelection");
        view.showTrue = t > f && t >= x;
        view.showFalse = f >= t && f > x;
        break;
    }
    case ButtonKind::None:
        break;
    }
    return view;
}

} // namespace zx
