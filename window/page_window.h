// The window around the page: the page area, the window's size and place,
// the test state (the screen saver is held off while a test is open), the
// open bank's rules for the close question, a page's request to start the
// test, the working folder and the progress window, and the news that the
// window closes.
#pragma once

#include "objects/core/test_state.h"
#include "testrun/core/bank_settings.h"
#include "window/screen_saver_inhibitor.h"
#include "window/working_folder.h"

#include <QObject>
#include <QRect>

class QMainWindow;
class QWidget;

namespace zx {

class TProgress;

class PageWindow : public QObject {
    Q_OBJECT
public:
    // The page area is made in `window`'s central widget; the working
    // folder is `workingFolder` (emptied now); `useScreenSaverBus` lets the
    // screen saver be held off through the session bus.
    PageWindow(QMainWindow* window, const QString& workingFolder, bool useScreenSaverBus);
    ~PageWindow() override;

    QWidget* mainWindow() const;
    // The central widget the page area and the control panel stand on.
    QWidget* central() const { return m_central; }
    QWidget* pageArea() const { return m_pageArea; }

    // ---- the test state
    TestState testState() const { return m_testState; }
    void setTestState(TestState state);
    bool screenSaverInhibitWanted() const { return m_inhibitor.wantsInhibit(); }
    // The rules of the open bank, for the close question.
    const BankSettings& bankRules() const { return m_bankRules; }
    void setBankRules(const BankSettings& rules) { m_bankRules = rules; }

    // ---- size and place
    // Client size below the menu bar: 800 x 600, 1024 x 768 or 640 x 480;
    // the control panel takes the bottom `panelHeight` pixels.
    void setPageSize(int width, int height);
    void setPageSize(PageSize size) { setPageSize(size.width, size.height); }
    // Centres the window on `desktop` (screen coordinates).
    void centreOn(const QRect& desktop);
    // The available area of the screen the window is on.
    QRect availableDesktop() const;

    // ---- a page object asked for the test to start: the next paint starts it
    void requestStart();
    bool startRequested() const { return m_startRequested; }
    void clearStartRequest() { m_startRequested = false; }

    WorkingFolder& workingFolder() { return m_workingFolder; }
    TProgress* progressWindow() const { return m_progress; }

    // The window closes for good: announces FormClosing.
    void close() { emit FormClosing(); }
    // After the close: the working folder is emptied, the progress window
    // hidden and the screen saver let go.
    void closed();

signals:
    void testStateChanged(zx::TestState state);
    // The page area took a new size: the panel and the reports follow.
    void pageResized(int width, int pageHeight);
    // The window is closing for good: the page is left, the reports go.
    void FormClosing();

private:
    QMainWindow* m_window;
    QWidget* m_central;
    QWidget* m_pageArea;
    TProgress* m_progress;
    WorkingFolder m_workingFolder;
    ScreenSaverInhibitor m_inhibitor;
    TestState m_testState = TestState::NoTest;
    BankSettings m_bankRules;
    bool m_startRequested = false;
};

} // namespace zx
