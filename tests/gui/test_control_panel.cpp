// The control panel on its own: a plan placed and enabled, Cheat's caption,
// the slider set quietly and moved by keys, the held Cheat, the Tab stops
// and the attention frames drawn on the panel itself.
#include "window/control_panel.h"

#include "objects/shape_control.h"
#include "objects/zx_object.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace zx::test {
namespace {

class ControlPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(800, 600);
        m_panel = new ControlPanel([](int n) { return QStringLiteral("text %1").arg(n); }, m_window.get());
        m_panel->setGeometry(0, 573, 800, 27);
        m_window->show();
    }

    QPushButton* button(const char* name) const { return m_panel->findChild<QPushButton*>(QString::fromLatin1(name)); }
    QScrollBar* slider() const { return m_panel->findChild<QScrollBar*>(QStringLiteral("questionSlider")); }

    std::vector<ShapeControl*> shapes() const
    {
        std::vector<ShapeControl*> found;
        for (QWidget* child : m_window->findChildren<QWidget*>())
            if (auto* shape = dynamic_cast<ShapeControl*>(child))
                found.push_back(shape);
        return found;
    }

    std::unique_ptr<QWidget> m_window;
    ControlPanel* m_panel = nullptr;
};

TEST(ControlPanelPlan, EveryControlHasItsPlaceAndStatePerStage)
{
    BankSettings rules;
    rules.allowMarking = true;
    rules.allowCheating = true;
    ControlPanelPlan plan = planControlPanel(800, PanelStage::Test, rules);
    // Auto Play and Help at the left, Finish 7 pixels from the right edge,
    // Mark and Cheat 1 pixel apart to its left, Start centred, the slider
    // between Help and Cheat with 4 and 2 pixels to spare.
    EXPECT_EQ(plan.autoPlay, (PanelControl{6, 3, 86, 21, true, true}));
    EXPECT_EQ(plan.help, (PanelControl{95, 3, 64, 21, true, true}));
    EXPECT_EQ(plan.start, (PanelControl{368, 3, 64, 21, false, false}));
    EXPECT_EQ(plan.finish, (PanelControl{729, 3, 64, 21, true, true}));
    EXPECT_EQ(plan.mark, (PanelControl{664, 3, 64, 21, true, true}));
    EXPECT_EQ(plan.cheat, (PanelControl{613, 3, 50, 21, true, true}));
    EXPECT_EQ(plan.slider, (PanelControl{163, 5, 448, 17, true, false}));
    EXPECT_EQ(plan.cheatCaption, 94);

    // Show Answer is wider; before a bank Cheat keeps the plain width and
    // its caption, and nothing of the test is enabled.
    rules.allowCheating = false;
    rules.showAnswer = true;
    plan = planControlPanel(800, PanelStage::Test, rules);
    EXPECT_EQ(plan.cheat, (PanelControl{563, 3, 100, 21, true, true}));
    EXPECT_EQ(plan.cheatCaption, 88);
    plan = planControlPanel(800, PanelStage::NoBank, rules);
    EXPECT_EQ(plan.cheat, (PanelControl{599, 3, 64, 21, true, false}));
    EXPECT_EQ(plan.cheatCaption, 0);
    EXPECT_FALSE(plan.finish.enabled);
    EXPECT_FALSE(plan.mark.enabled);
    EXPECT_TRUE(plan.autoPlay.enabled);
    for (PanelStage stage : {PanelStage::PreTest, PanelStage::FinishedTest, PanelStage::LoadedResults}) {
        plan = planControlPanel(800, stage, rules);
        EXPECT_FALSE(plan.finish.enabled || plan.mark.enabled || plan.cheat.enabled) << static_cast<int>(stage);
        EXPECT_TRUE(plan.mark.visible && plan.cheat.visible) << static_cast<int>(stage);
    }

    // An exam hides Mark and Cheat (results loaded afterwards show them);
    // a preview cannot be finished; the slider keeps 10 pixels at least.
    rules.isExam = true;
    plan = planControlPanel(800, PanelStage::Test, rules);
    EXPECT_FALSE(plan.mark.visible || plan.cheat.visible);
    EXPECT_EQ(plan.slider.width, 729 - 2 - 163);
    EXPECT_TRUE(planControlPanel(800, PanelStage::LoadedResults, rules).mark.visible);
    rules.isExam = false;
    rules.questionPreview = 1;
    EXPECT_FALSE(planControlPanel(800, PanelStage::Test, rules).finish.enabled);
    EXPECT_EQ(planControlPanel(200, PanelStage::Test, rules).slider.width, 10);
}

TEST_F(ControlPanelTest, APlanPlacesShowsAndEnablesTheControls)
{
    BankSettings rules;
    rules.allowMarking = true;
    rules.allowCheating = true;
    const ControlPanelPlan plan = m_panel->planFor(PanelStage::Test, rules);
    m_panel->apply(plan);
    for (const auto& [name, place] : {std::pair{"FinishButton", plan.finish}, std::pair{"MarkButton", plan.mark},
                                      std::pair{"CheatButton", plan.cheat}, std::pair{"HelpButton", plan.help}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(button(name)->geometry(), QRect(place.left, place.top, place.width, place.height));
        EXPECT_TRUE(button(name)->isVisible());
    }
    EXPECT_EQ(button("CheatButton")->text(), QStringLiteral("text 94"));
    EXPECT_TRUE(button("MarkButton")->isEnabled());
    EXPECT_EQ(slider()->geometry().left(), plan.slider.left);
    EXPECT_EQ(slider()->width(), plan.slider.width);

    // Show Answer takes Cheat's place under its own caption; an exam hides
    // Mark and Cheat and leaves the caption alone.
    rules.allowCheating = false;
    rules.showAnswer = true;
    m_panel->apply(m_panel->planFor(PanelStage::Test, rules));
    EXPECT_EQ(button("CheatButton")->text(), QStringLiteral("text 88"));
    rules.isExam = true;
    m_panel->apply(m_panel->planFor(PanelStage::Test, rules));
    EXPECT_EQ(button("CheatButton")->text(), QStringLiteral("text 88"));
    EXPECT_FALSE(button("CheatButton")->isVisible());
    EXPECT_FALSE(button("MarkButton")->isVisible());
    EXPECT_TRUE(button("FinishButton")->isEnabled());

    m_panel->disableTestControls();
    for (const char* name : {"FinishButton", "MarkButton", "CheatButton"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_FALSE(slider()->isEnabled());
}

TEST_F(ControlPanelTest, TheRangeIsSetQuietlyAndKeysMoveTheSliderAsThePointerDoes)
{
    QSignalSpy scrolled(m_panel, &ControlPanel::questionSliderScroll);
    m_panel->setQuestionRange(5, 2, true);
    EXPECT_EQ(scrolled.count(), 0);
    EXPECT_EQ(slider()->maximum(), 5);
    EXPECT_EQ(slider()->value(), 2);
    EXPECT_TRUE(m_panel->commandAvailable(KeyCommand::NextQuestion));

    m_panel->runCommand(KeyCommand::NextQuestion);
    m_panel->runCommand(KeyCommand::LastQuestion);
    m_panel->runCommand(KeyCommand::LastQuestion); // already there: no move
    m_panel->runCommand(KeyCommand::FirstQuestion);
    ASSERT_EQ(scrolled.count(), 3);
    EXPECT_EQ(scrolled[0][0].toInt(), 3);
    EXPECT_EQ(scrolled[1][0].toInt(), 5);
    EXPECT_EQ(scrolled[2][0].toInt(), 0);

    m_panel->setQuestionSliderEnabled(false);
    EXPECT_FALSE(m_panel->commandAvailable(KeyCommand::PreviousQuestion));
    m_panel->runCommand(KeyCommand::NextQuestion);
    EXPECT_EQ(scrolled.count(), 3);
}

TEST_F(ControlPanelTest, KeysClickOnlyLiveButtonsAndHoldCheat)
{
    QSignalSpy marked(m_panel, &ControlPanel::MarkButClick);
    QSignalSpy finished(m_panel, &ControlPanel::FinishButtonClick);
    QSignalSpy changed(m_panel, &ControlPanel::commandsChanged);
    m_panel->runCommand(KeyCommand::Mark); // disabled before a test
    EXPECT_EQ(marked.count(), 0);

    BankSettings rules;
    rules.allowMarking = true;
    rules.allowCheating = true;
    m_panel->apply(m_panel->planFor(PanelStage::Test, rules));
    EXPECT_GT(changed.count(), 0);
    m_panel->runCommand(KeyCommand::Mark);
    m_panel->runCommand(KeyCommand::Finish);
    EXPECT_EQ(marked.count(), 1);
    EXPECT_EQ(finished.count(), 1);

    QSignalSpy down(m_panel, &ControlPanel::CheatButtonMouseDown);
    QSignalSpy up(m_panel, &ControlPanel::CheatButtonMouseUp);
    m_panel->holdCheat(true);
    EXPECT_TRUE(button("CheatButton")->isDown());
    m_panel->holdCheat(false);
    EXPECT_FALSE(button("CheatButton")->isDown());
    EXPECT_EQ(down.count(), 1);
    EXPECT_EQ(up.count(), 1);

    // The Help button's release lets Cheat go as well.
    QSignalSpy help(m_panel, &ControlPanel::HelpButtonClick);
    QTest::mouseClick(button("HelpButton"), Qt::LeftButton);
    EXPECT_EQ(help.count(), 1);
    EXPECT_EQ(up.count(), 2);
}

TEST_F(ControlPanelTest, TabStopsRunLeftToRightOverLiveControls)
{
    BankSettings rules;
    rules.allowMarking = true;
    m_panel->apply(m_panel->planFor(PanelStage::Test, rules));
    m_panel->setQuestionRange(3, 0, true);
    m_panel->setStartButtonShown(true);
    std::vector<QString> names;
    for (QWidget* stop : m_panel->tabStops())
        names.push_back(stop->objectName());
    // Cheat is hidden: the bank allows no cheating.
    const std::vector<QString> expected = {QStringLiteral("AutoPlay"),     QStringLiteral("HelpButton"),
                                           QStringLiteral("questionSlider"), QStringLiteral("StartButton"),
                                           QStringLiteral("MarkButton"),   QStringLiteral("FinishButton")};
    EXPECT_EQ(names, expected);

    m_panel->setStartButtonShown(false);
    m_panel->setAutoPlay(false, false);
    EXPECT_FALSE(m_panel->autoPlayOn());
    const std::vector<QWidget*> stops = m_panel->tabStops();
    EXPECT_EQ(stops.size(), 4u);
    EXPECT_EQ(stops.front()->objectName(), QStringLiteral("HelpButton"));
}

TEST_F(ControlPanelTest, AttentionFramesAreDrawnOnThePanel)
{
    m_panel->apply(m_panel->planFor(PanelStage::PreTest, {}));
    m_panel->setStartButtonShown(true);
    QWidget* drawnOn = nullptr;
    QRect firstFrame;
    PageContext context;
    context.wait = [&](int) {
        if (drawnOn)
            return;
        const std::vector<ShapeControl*> frames = shapes();
        if (frames.size() == 1) {
            drawnOn = frames.front()->parentWidget();
            firstFrame = frames.front()->geometry();
        }
    };
    const zxObject service(m_window.get(), {}, context);
    m_panel->frameStartButton(service);
    EXPECT_EQ(drawnOn, m_panel);
    const QRect start = button("StartButton")->geometry();
    EXPECT_EQ(firstFrame, QRect(start.x() - 30, start.y() - 30, start.width() + 60, start.height() + 60));
    EXPECT_TRUE(shapes().empty());

    drawnOn = nullptr;
    m_panel->frameQuestionSlider(service);
    EXPECT_EQ(drawnOn, m_panel);
    const QRect bar = slider()->geometry();
    EXPECT_EQ(firstFrame, QRect(bar.x() - 30, bar.y() - 30, bar.width() + 60, bar.height() + 60));
}

} // namespace
} // namespace zx::test
