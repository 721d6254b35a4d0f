#include "app/core/close_query.h"

#include "tagtext/tagged_text.h"

namespace zx {

CloseDecision decideClose(TestState state, std::string_view bankSettings)
{
    // A question preview from the authoring editor closes at once.
    if (getTagInt(bankSettings, "questionPreview", 0) == 1)
        return CloseDecision::Close;
    switch (state) {
    case TestState::RunningExam:
        return CloseDecision::RefuseExam;
    case TestState::Running:
        return CloseDecision::AskRunning;
    case TestState::Finished:
        return getTagInt(bankSettings, "allowSaving", 0) == 1 ? CloseDecision::AskUnsavedResults
                                                              : CloseDecision::Close;
    default:
        return CloseDecision::Close;
    }
}

} // namespace zx
