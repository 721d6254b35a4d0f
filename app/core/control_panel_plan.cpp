#include "app/core/control_panel_plan.h"

#include <algorithm>

namespace zx {

namespace {

constexpr int controlTop = 3;
constexpr int controlHeight = controlPanelHeight - 2 * controlTop;
constexpr int autoPlayLeft = 6;
constexpr int gapAfterAutoPlay = 3;
constexpr int gapAfterHelp = 4;
constexpr int finishGap = 7;
constexpr int sliderGap = 2;
constexpr int minimumSliderWidth = 10;

PanelControl control(int left, int width, bool visible, bool enabled)
{
    return PanelControl{left, controlTop, width, controlHeight, visible, enabled};
}

} // namespace

ControlPanelPlan planControlPanel(int panelWidth, PanelStage stage, const BankSettings& rules,
                                  const PanelMetrics& metrics)
{
    ControlPanelPlan plan;
    const int w = metrics.buttonWidth;
    plan.autoPlay = control(autoPlayLeft, metrics.autoPlayWidth, true, true);
    plan.help = control(plan.autoPlay.right() + gapAfterAutoPlay, w, true, true);
    plan.start = control((panelWidth - w) / 2, w, false, false);

    const bool running = stage == PanelStage::Test;
    plan.finish = control(panelWidth - finishGap - w, w, true, running && !rules.isPreview());

    // Which answer buttons the stage offers.
    bool markShown = true;
    int cheatWidth = w;
    bool cheatShown = true;
    if (stage != PanelStage::NoBank) {
        const bool exam = rules.isExam && stage != PanelStage::LoadedResults;
        markShown = !exam && rules.allowMarking;
        cheatShown = !exam && (rules.allowCheating || rules.showAnswer);
        if (rules.allowCheating) {
            cheatWidth = metrics.cheatWidth;
            plan.cheatCaption = 94;
        } else if (rules.showAnswer) {
            cheatWidth = metrics.showAnswerWidth;
            plan.cheatCaption = 88;
        }
        if (!cheatShown)
            plan.cheatCaption = 0;
    }
    plan.mark = control(plan.finish.left - 1 - w, w, markShown, running && markShown);
    const int cheatRight = markShown ? plan.mark.left : plan.finish.left;
    plan.cheat = control(cheatRight - 1 - cheatWidth, cheatWidth, cheatShown, running && cheatShown);

    int leftmost = plan.finish.left;
    if (markShown)
        leftmost = plan.mark.left;
    if (cheatShown)
        leftmost = plan.cheat.left;
    const bool timeShown = rules.isTimed() && (stage == PanelStage::PreTest || running);
    plan.timeLeft = control(plan.help.right() + gapAfterHelp, metrics.timeLeftWidth, timeShown, false);
    const int sliderLeft = (timeShown ? plan.timeLeft.right() : plan.help.right()) + gapAfterHelp;
    plan.slider = PanelControl{sliderLeft, controlTop + 2,
                               std::max(minimumSliderWidth, leftmost - sliderGap - sliderLeft),
                               controlHeight - 4, true, false};
    return plan;
}

} // namespace zx
