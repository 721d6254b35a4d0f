#include "window/page_window.h"

#include "app/core/control_panel_plan.h"
#include "window/progress_window.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace zx {

PageWindow::PageWindow(QMainWindow* window, const QString& workingFolder, bool useScreenSaverBus)
    : QObject(window)
    , m_window(window)
    , m_workingFolder(workingFolder)
    , m_inhibitor(useScreenSaverBus)
{
    m_central = new QWidget(window);
    m_central->setObjectName(QStringLiteral("MainArea"));
    window->setCentralWidget(m_central);

    m_pageArea = new QWidget(m_central);
    m_pageArea->setObjectName(QStringLiteral("PageArea"));
    // The page keeps the focus between its controls (a page left, a page
    // without controls), also while another window is in front; Tab goes
    // on to the page's controls from there.  A click leaves it alone.
    m_pageArea->setFocusPolicy(Qt::TabFocus);

    m_progress = new TProgress(window);
    m_workingFolder.clear();
}

PageWindow::~PageWindow() { m_inhibitor.setInhibited(false); }

QWidget* PageWindow::mainWindow() const { return m_window; }

void PageWindow::setTestState(TestState state)
{
    if (state == m_testState)
        return;
    m_testState = state;
    m_inhibitor.setInhibited(isTestInProgress(state));
    emit testStateChanged(state);
}

void PageWindow::setPageSize(int width, int height)
{
    const int pageHeight = std::max(0, height - controlPanelHeight);
    m_central->setFixedSize(width, height);
    m_pageArea->setGeometry(0, 0, width, pageHeight);
    emit pageResized(width, pageHeight);
    // The window wraps the menu bar and this client area exactly.
    m_window->adjustSize();
}

void PageWindow::centreOn(const QRect& desktop)
{
    QRect frame = m_window->frameGeometry();
    frame.moveCenter(desktop.center());
    m_window->move(frame.topLeft());
}

QRect PageWindow::availableDesktop() const
{
    if (QScreen* s = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen())
        return s->availableGeometry();
    return {};
}

void PageWindow::requestStart()
{
    m_startRequested = true;
    m_window->update();
}

void PageWindow::closed()
{
    m_workingFolder.clear();
    m_progress->hide();
    m_inhibitor.setInhibited(false);
}

} // namespace zx
