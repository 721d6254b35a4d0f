// What closing the main window does in each test state.
#pragma once

#include "objects/core/test_state.h"

#include <string_view>

namespace zx {

enum class CloseDecision {
    Close,            // close without a question
    RefuseExam,       // refuse; the message window shows x15 / x16
    AskRunning,       // ask x17 with Yes and No
    AskUnsavedResults // ask x18 with Yes and No
};

// bankSettings is the open bank's settings text (empty without a bank);
// its questionPreview and allowSaving elements are read here.
CloseDecision decideClose(TestState state, std::string_view bankSettings);

} // namespace zx
