// The keys that answer on a page object, for a candidate who does not use
// the mouse.  Each answering key stands for what the pointer would do, and
// the object runs the very handlers the pointer runs:
//   choice button     Space                  select or clear (press and release)
//   true/false button T or Left              true
//                     F or Right             false
//                     Space                  clear the answer
//   draggable item    Space                  pick it up (put it down when held)
//                     arrows, Tab, Shift+Tab the next or previous target (held)
//                     Enter                  put it down where it is shown
//                     Escape                 send it home
//   picture that starts the test: Space or Enter, as a click
// Keys held with Ctrl, Alt or Meta never answer; they belong to the window.
#pragma once

#include <Qt>

#include <functional>
#include <vector>

class QEvent;
class QKeyEvent;

namespace zx {

enum class AnswerObject { Choice, TrueFalse, Item, StartPicture };

enum class AnswerKey {
    None,
    Toggle,   // Space
    True,
    False,
    Next,     // the next target of a held item
    Previous,
    Drop,     // Enter
    Cancel,   // Escape
};

struct AnswerKeyBinding {
    AnswerObject object;
    AnswerKey meaning;
    Qt::Key key;
    bool onlyWhileHeld = false; // Tab and Shift+Tab step targets only while an item is held
};

// Every answering key, per object in the order the Help window lists them.
const std::vector<AnswerKeyBinding>& answerKeyBindings();

// What `event` means on `object`; `held` tells whether an item is picked up.
AnswerKey answerKeyOf(AnswerObject object, const QKeyEvent& event, bool held = false);

// Offers a key press or release to a control's handlers before the widget's
// own handling (which would take Tab for moving the focus).  True when a
// handler took the key; the event is then accepted.
using KeyHandler = std::function<bool(QKeyEvent&)>;
bool offerKey(QEvent* event, const KeyHandler& onKeyDown, const KeyHandler& onKeyUp);

} // namespace zx
