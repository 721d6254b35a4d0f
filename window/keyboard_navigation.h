// Keyboard navigation: the window's keys for the question slider, Mark and
// Finish, the held Cheat key, the Tab cycle over the page's controls, the
// report on show and the control panel, and the key list of the Help
// window.
#pragma once

#include "app/core/keyboard_map.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QShortcut;
class QWidget;

namespace zx {

class ControlPanel;
class ReportArea;

class KeyboardNavigation : public QObject {
    Q_OBJECT
public:
    // `readAloudEnabled` tells whether Options/Read Page Aloud is enabled;
    // `messageText` gives interface message n.
    KeyboardNavigation(QWidget* mainWindow, QWidget* pageArea, ControlPanel& panel, const ReportArea& reports,
                       std::function<bool()> readAloudEnabled, std::function<QString(int)> messageText);
    ~KeyboardNavigation() override;

    // The controls of the page on show that take the focus, in reading
    // order: Tab walks them, then the visible report and the control panel
    // from left to right, and starts again.  With `takeFocus` the first of
    // them takes the focus (the page area itself when there is none).
    void setPageFocusOrder(const std::vector<QWidget*>& controls, bool takeFocus);
    // Whether the focus is on the page area or one of its controls.
    bool focusIsOnPage() const;
    // Everything Tab walks now, in order.
    std::vector<QWidget*> tabCycle() const;
    // Moves the focus one step along the cycle (the window's Tab and
    // Shift+Tab); false when there is nothing to walk.
    bool moveFocus(bool next);
    // Whether the key command has a live shortcut now (the button or the
    // slider it works is shown and enabled).
    bool keyCommandAvailable(KeyCommand command) const;
    // The keys and their names, as the Help window lists them.
    QList<QPair<QString, QString>> keyboardHelp() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshShortcuts();
    bool cheatKey(QObject* watched, QEvent* event);
    void releaseCheatKey();

    QWidget* m_window;
    QWidget* m_pageArea;
    ControlPanel& m_panel;
    const ReportArea& m_reports;
    std::function<bool()> m_readAloudEnabled;
    std::function<QString(int)> m_messageText;
    std::vector<QPointer<QWidget>> m_pageFocus;
    std::vector<std::pair<KeyCommand, QShortcut*>> m_shortcuts;
    bool m_cheatKeyHeld = false;
};

} // namespace zx
