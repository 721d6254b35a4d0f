// The keys of the main window: what each one does, and which text of the
// language file names it in the Help window.  Keys are written in the
// toolkit's portable form ("Ctrl+M", "PgDown"), so the window can turn them
// into shortcuts and the Help window into the user's own key names.  The
// keys that answer on a page object belong to the objects
// (objects/answer_keys.h).
#pragma once

#include <string>
#include <vector>

namespace zx {

enum class KeyCommand {
    NextControl,      // the next answer object or control panel button
    PreviousControl,
    NextQuestion,     // the question slider one step on
    PreviousQuestion,
    FirstQuestion,
    LastQuestion,
    Mark,             // the Mark button
    Finish,           // the Finish button
    Cheat,            // the Cheat button, held while the key is held
    ReadAloud,        // Options/Read Page Aloud
    Help,             // Help/Help Topics
    TellMe,           // Help/Tell Me
};

struct KeyBinding {
    KeyCommand command;
    std::vector<std::string> keys; // portable key texts, the first the main one
    // What names the command in the Help window: an interface message, or
    // (message 0) the caption of the control of that object name.
    int message = 0;
    std::string captionOf;
};

// Every key of the window, in the order the Help window lists them.
const std::vector<KeyBinding>& windowKeyBindings();
const KeyBinding& keyBinding(KeyCommand command);

// Where a slider command moves the question slider from `position` on a
// range 0..`maximum`; other commands leave it.
int questionSliderTarget(KeyCommand command, int position, int maximum);

} // namespace zx
