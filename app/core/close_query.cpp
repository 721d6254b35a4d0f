#include "app/core/close_query.h"

namespace zx {

CloseDecision decideClose(TestState state, const BankSettings& rules)
{
    // A question preview from the authoring editor closes at once.
    if (rules.closesWithoutAsking())
        return CloseDecision::Close;
    switch (state) {
    case TestState::RunningExam:
        return CloseDecision::RefuseExam;
    case TestState::Running:
        return CloseDecision::AskRunning;
    case TestState::Finished:
        return rules.allowSaving ? CloseDecision::AskUnsavedResults : CloseDecision::Close;
    default:
        return CloseDecision::Close;
    }
}

} // namespace zx
