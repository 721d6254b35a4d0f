#include "app/core/control_panel_plan.h"

#include <gtest/gtest.h>

using namespace zx;

TEST(ControlPanelPlan, ATimedTestShowsItsTimeBetweenHelpAndTheSlider)
{
    BankSettings timed;
    timed.timeLimitMinutes = 30;
    for (PanelStage stage : {PanelStage::PreTest, PanelStage::Test}) {
        const ControlPanelPlan untimed = planControlPanel(800, stage, BankSettings{});
        EXPECT_FALSE(untimed.timeLeft.visible);
        const ControlPanelPlan plan = planControlPanel(800, stage, timed);
        EXPECT_TRUE(plan.timeLeft.visible);
        EXPECT_FALSE(plan.timeLeft.enabled);
        EXPECT_EQ(plan.timeLeft.left, plan.help.right() + 4);
        EXPECT_EQ(plan.timeLeft.width, 64);
        EXPECT_EQ(plan.timeLeft.top, untimed.help.top);
        EXPECT_EQ(plan.timeLeft.height, untimed.help.height);
        EXPECT_EQ(plan.slider.left, plan.timeLeft.right() + 4);
        EXPECT_EQ(plan.slider.right(), untimed.slider.right()) << "the slider still ends where it did";
        EXPECT_EQ(plan.finish, untimed.finish);
        EXPECT_EQ(plan.cheat, untimed.cheat);
    }
    for (PanelStage stage : {PanelStage::NoBank, PanelStage::FinishedTest, PanelStage::LoadedResults}) {
        const ControlPanelPlan plan = planControlPanel(800, stage, timed);
        EXPECT_FALSE(plan.timeLeft.visible);
        EXPECT_EQ(plan.slider, planControlPanel(800, stage, BankSettings{}).slider);
    }
}
