// The main window's test state, read by every part of the player.
#pragma once

namespace zx {

enum class TestState : int {
    NoTest = 0,        // nothing open, or a bank that was rejected
    Ready = 1,         // a bank is open, the pre-test pages are shown
    Running = 2,       // a practice test is in progress
    RunningExam = 3,   // an exam is in progress
    Finished = 4,      // scored, results not yet stored
    ResultsStored = 5, // results saved to, or loaded from, a results file
};

// States in which a test is open and the desktop must not start its
// screen saver.
constexpr bool isTestInProgress(TestState state)
{
    return state == TestState::Ready || state == TestState::Running
        || state == TestState::RunningExam;
}

} // namespace zx
