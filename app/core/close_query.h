// What closing the main window does in each test state.
#pragma once

#include "objects/core/test_state.h"
#include "testrun/core/bank_settings.h"

namespace zx {

enum class CloseDecision {
    Close,            // close without a question
    RefuseExam,       // refuse; the message window shows x15 / x16
    AskRunning,       // ask x17 with Yes and No
    AskUnsavedResults // ask x18 with Yes and No
};

// `rules` are the open bank's rules (the defaults without a bank).
CloseDecision decideClose(TestState state, const BankSettings& rules);

} // namespace zx
