// Where the controls of the bottom control panel go, which of them show and
// which take input, worked out from the bank's rules alone.  The panel
// applies a plan in one place (ControlPanel::apply); whoever
// changes the panel's arrangement changes it here.
//
// The arrangement: the auto-play box and the Help button at the left, the
// Finish button 7 pixels from the right edge, Mark 1 pixel left of Finish,
// Cheat 1 pixel left of Mark (or of Finish when Mark is hidden), the Start
// button centred, and the question slider filling the room between Help
// and the leftmost of Finish, Mark and Cheat, 2 pixels short of it.  A
// timed test's time left stands between Help and the slider, which then
// starts after it.
#pragma once

#include "testrun/core/bank_settings.h"

namespace zx {

inline constexpr int controlPanelHeight = 27;

enum class PanelStage {
    NoBank,        // nothing open yet: the buttons stand disabled
    PreTest,       // a bank's pre-test pages: no test controls yet
    Test,          // a test in progress
    FinishedTest,  // a finished test: the test's arrangement, nothing enabled
    LoadedResults, // a results file with its bank's rules: nothing enabled
};

struct PanelControl {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    bool enabled = false;

    int right() const { return left + width; } // first pixel past the control
    bool operator==(const PanelControl&) const = default;
};

struct ControlPanelPlan {
    PanelControl autoPlay;
    PanelControl help;
    PanelControl slider;
    PanelControl finish;
    PanelControl mark;
    PanelControl cheat;
    // Only the place: the Start button is shown on the last pre-test page.
    PanelControl start;
    // The time left of a timed test: shown on the pre-test pages (the whole
    // allowance) and during the test, never enabled (it takes no input).
    PanelControl timeLeft;
    // The interface message that captions Cheat (94 for Cheat, 88 for Show
    // Answer); 0 leaves the caption as it is.
    int cheatCaption = 0;
};

struct PanelMetrics {
    int buttonWidth = 64;     // Finish, Mark, Help, Start and the default Cheat
    int cheatWidth = 50;      // the Cheat button
    int showAnswerWidth = 100; // the Show Answer form of the Cheat button
    int autoPlayWidth = 86;
    int timeLeftWidth = 64;   // "01:30:00" with room to spare
};

ControlPanelPlan planControlPanel(int panelWidth, PanelStage stage, const BankSettings& rules,
                                  const PanelMetrics& metrics = {});

} // namespace zx
