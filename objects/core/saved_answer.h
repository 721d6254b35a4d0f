// The candidate's text kept aside while a field shows its expected answer.
//
// save() runs when Cheat is pressed; takeForRestore() when it is released
// and gives the saved text exactly once.  A release without a press before
// it (the Help button's release runs the same code) gives nothing, so the
// caller leaves the box as it is: the candidate's text is never replaced by
// an empty or out-of-date copy.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zx {

class SavedAnswer {
public:
    // Keeps `text` unless a text is already kept (a second press before the
    // release must not keep the expected answer that is now on show).
    void save(std::string_view text);
    bool isSaved() const { return m_saved.has_value(); }
    // The kept text, or nothing when none is kept; empties the store.
    std::optional<std::string> takeForRestore();

private:
    std::optional<std::string> m_saved;
};

} // namespace zx
