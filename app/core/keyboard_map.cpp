#include "app/core/keyboard_map.h"

#include <algorithm>
#include <stdexcept>

namespace zx {

const std::vector<KeyBinding>& windowKeyBindings()
{
    // Tab and the slider keys are the toolkit's usual ones.  The commands
    // take Ctrl with a letter, so typing into a field never reaches them,
    // and F1 to F3 stay with help and speech.
    static const std::vector<KeyBinding> bindings{
        {KeyCommand::NextControl, {"Tab"}, 111, {}},
        {KeyCommand::PreviousControl, {"Shift+Tab"}, 111, {}},
        {KeyCommand::NextQuestion, {"PgDown", "Ctrl+Right"}, 112, {}},
        {KeyCommand::PreviousQuestion, {"PgUp", "Ctrl+Left"}, 113, {}},
        {KeyCommand::FirstQuestion, {"Home"}, 114, {}},
        {KeyCommand::LastQuestion, {"End"}, 114, {}},
        {KeyCommand::Mark, {"Ctrl+M"}, 0, "MarkButton"},
        {KeyCommand::Cheat, {"Ctrl+H"}, 118, {}},
        {KeyCommand::Finish, {"Ctrl+F"}, 0, "FinishButton"},
        {KeyCommand::ReadAloud, {"F3"}, 119, {}},
        {KeyCommand::Help, {"F1"}, 0, "Help2"},
        {KeyCommand::TellMe, {"F2"}, 0, "TellMeAudio1"},
    };
    return bindings;
}

const KeyBinding& keyBinding(KeyCommand command)
{
    const auto& all = windowKeyBindings();
    const auto it = std::find_if(all.begin(), all.end(), [&](const KeyBinding& b) { return b.command == command; });
    if (it == all.end())
        throw std::logic_error("key command without a binding");
    return *it;
}

int questionSliderTarget(KeyCommand command, int position, int maximum)
{
    const int last = std::max(0, maximum);
    switch (command) {
    case KeyCommand::NextQuestion:
        return std::clamp(position + 1, 0, last);
    case KeyCommand::PreviousQuestion:
        return std::clamp(position - 1, 0, last);
    case KeyCommand::FirstQuestion:
        return 0;
    case KeyCommand::LastQuestion:
        return last;
    default:
        return position;
    }
}

} // namespace zx
