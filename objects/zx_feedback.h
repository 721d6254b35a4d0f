// A feedback panel: a coloured panel that appears after marking when the
// question's score meets the panel's criterion (objects/core/
// feedback_rules.h decides which).  Its content is the page objects whose
// feedback id equals the panel's id, shown on the panel at positions
// relative to it; it may play a sound as it appears.  Nothing is shown
// when the page is built.
#pragma once

#include "objects/zx_object.h"

#include <QPointer>

#include <memory>
#include <span>
#include <string_view>

class QFrame;

namespace zx {

class zxFeedback : public zxObject {
public:
    zxFeedback(QWidget* parentWindow, std::string record, PageContext context = {});
    ~zxFeedback() override;

    // The record's "id": page objects with this feedback id are the
    // panel's content.
    std::string id() const;
    QFrame* panel() const { return m_panel.data(); }
    // The sound chosen by the last show: a resolved path, or "0" for none.
    const std::string& soundPath() const { return m_soundPath; }

    // Makes the panel and its content appear and plays the sound.
    void show();
    // Hides the content and destroys the panel.
    void releaseControls();

private:
    QPointer<QFrame> m_panel;
    std::string m_soundPath = "0";
};

// Marking's feedback step for a page's feedback table (empty slots are
// skipped).  When the bank settings' "ShowFeedback" is exactly "0" no panel
// is touched; otherwise every panel is released and the chosen ones are
// shown in order, under the page record's "ShowAllFeedbackMatches".
void selectFeedback(std::span<const std::unique_ptr<zxFeedback>> feedbacks, std::string_view bankSettings,
                    std::string_view pageRecord, int score, int worst, int best);

} // namespace zx
