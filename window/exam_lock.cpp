#include "window/exam_lock.h"

#include "window/back_cover_window.h"

#include <QAction>
#include <QWidget>

namespace zx {

ExamLock::ExamLock(QWidget* mainWindow, std::vector<QAction*> lockedItems)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , m_lockedItems(std::move(lockedItems))
    // The backdrop has no owner window, so the window manager never keeps
    // it above the main window.
    , m_cover(std::make_unique<TBackCoverWindow>(nullptr))
{
    connect(m_cover.get(), &TBackCoverWindow::bringMainToFront, this, [this] {
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    });
}

ExamLock::~ExamLock() = default;

void ExamLock::setLocked(bool locked)
{
    for (QAction* item : m_lockedItems)
        item->setEnabled(!locked);
    setMinimiseAllowed(!locked);
}

void ExamLock::setMinimiseAllowed(bool allowed)
{
    if (m_mainWindow->windowFlags().testFlag(Qt::WindowMinimizeButtonHint) == allowed)
        return;
    const bool visible = m_mainWindow->isVisible();
    m_mainWindow->setWindowFlag(Qt::WindowMinimizeButtonHint, allowed);
    if (visible)
        m_mainWindow->show();
}

void ExamLock::showCover(bool shown)
{
    if (shown)
        m_cover->showCover();
    else
        m_cover->hide();
}

} // namespace zx
