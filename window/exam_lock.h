// The exam lock: while an exam runs the window has no minimise button, the
// menu items that would leave it (File/Open, File/Exit, the web pages) are
// disabled, and a full-screen cover stands behind it.
#pragma once

#include <QObject>

#include <memory>
#include <vector>

class QAction;
class QWidget;

namespace zx {

class TBackCoverWindow;

class ExamLock : public QObject {
    Q_OBJECT
public:
    // `lockedItems` are disabled while the lock holds.
    ExamLock(QWidget* mainWindow, std::vector<QAction*> lockedItems);
    ~ExamLock() override;

    // Locking disables the items and takes the minimise button away;
    // unlocking gives them back.  The cover is shown on its own.
    void setLocked(bool locked);
    void setMinimiseAllowed(bool allowed);
    // The full-screen cover behind the window.
    void showCover(bool shown);
    TBackCoverWindow* coverWindow() const { return m_cover.get(); }

private:
    QWidget* m_mainWindow;
    std::vector<QAction*> m_lockedItems;
    std::unique_ptr<TBackCoverWindow> m_cover; // a window of its own, no parent
};

} // namespace zx
