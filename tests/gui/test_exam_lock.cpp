// The exam lock on its own: the items it disables, the minimise button it
// takes away and gives back, and the cover behind the window.
#include "window/exam_lock.h"

#include "window/back_cover_window.h"

#include <QAction>
#include <QMainWindow>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace zx::test {
namespace {

TEST(ExamLock, LockingDisablesItsItemsAndTheMinimiseButtonUntilUnlocked)
{
    QMainWindow window;
    window.show();
    QAction open(QStringLiteral("Open"));
    QAction exit(QStringLiteral("Exit"));
    QAction other(QStringLiteral("Help"));
    ExamLock lock(&window, {&open, &exit});
    ASSERT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    lock.setLocked(true);
    EXPECT_FALSE(open.isEnabled());
    EXPECT_FALSE(exit.isEnabled());
    EXPECT_TRUE(other.isEnabled());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window.isVisible()) << "the window stays on screen";

    lock.setLocked(false);
    EXPECT_TRUE(open.isEnabled());
    EXPECT_TRUE(exit.isEnabled());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    lock.setMinimiseAllowed(false);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(open.isEnabled()) << "the button alone";
    lock.setMinimiseAllowed(true);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

TEST(ExamLock, TheCoverStandsAloneAndSendsClicksToTheWindow)
{
    QMainWindow window;
    window.show();
    ExamLock lock(&window, {});
    TBackCoverWindow* cover = lock.coverWindow();
    EXPECT_EQ(cover->parentWidget(), nullptr) << "no owner window keeps it above the main window";
    lock.showCover(true);
    EXPECT_TRUE(cover->isVisible());
    bool broughtToFront = false;
    QObject::connect(cover, &TBackCoverWindow::bringMainToFront, [&] { broughtToFront = true; });
    QTest::mouseClick(cover, Qt::LeftButton);
    EXPECT_TRUE(broughtToFront);
    lock.showCover(false);
    EXPECT_FALSE(cover->isVisible());
}

} // namespace
} // namespace zx::test
