#include "window/keyboard_navigation.h"

#include "objects/answer_keys.h"
#include "window/control_panel.h"
#include "window/report_area.h"
#include "window/report_view.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace zx {

namespace {

QKeySequence portableKey(const std::string& key)
{
    return QKeySequence::fromString(QString::fromStdString(key), QKeySequence::PortableText);
}

} // namespace

KeyboardNavigation::KeyboardNavigation(QWidget* mainWindow, QWidget* pageArea, ControlPanel& panel,
                                       const ReportArea& reports, std::function<bool()> readAloudEnabled,
                                       std::function<QString(int)> messageText)
    : QObject(mainWindow)
    , m_window(mainWindow)
    , m_pageArea(pageArea)
    , m_panel(panel)
    , m_reports(reports)
    , m_readAloudEnabled(std::move(readAloudEnabled))
    , m_messageText(std::move(messageText))
{
    // Tab, Cheat, the help keys and reading aloud are handled elsewhere:
    // these keys work the slider and the buttons as the pointer does.
    for (const KeyBinding& binding : windowKeyBindings()) {
        switch (binding.command) {
        case KeyCommand::NextQuestion:
        case KeyCommand::PreviousQuestion:
        case KeyCommand::FirstQuestion:
        case KeyCommand::LastQuestion:
        case KeyCommand::Mark:
        case KeyCommand::Finish:
            break;
        default:
            continue;
        }
        for (const std::string& key : binding.keys) {
            auto* shortcut = new QShortcut(portableKey(key), m_window);
            shortcut->setContext(Qt::WindowShortcut);
            shortcut->setAutoRepeat(binding.command != KeyCommand::Mark && binding.command != KeyCommand::Finish);
            const KeyCommand command = binding.command;
            connect(shortcut, &QShortcut::activated, this, [this, command] { m_panel.runCommand(command); });
            m_shortcuts.emplace_back(command, shortcut);
        }
    }
    refreshShortcuts();
    connect(&m_panel, &ControlPanel::commandsChanged, this, &KeyboardNavigation::refreshShortcuts);
    qApp->installEventFilter(this);
}

KeyboardNavigation::~KeyboardNavigation()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool KeyboardNavigation::keyCommandAvailable(KeyCommand command) const
{
    switch (command) {
    case KeyCommand::ReadAloud:
        return m_readAloudEnabled && m_readAloudEnabled();
    case KeyCommand::Help:
    case KeyCommand::TellMe:
    case KeyCommand::NextControl:
    case KeyCommand::PreviousControl:
        return true;
    default:
        return m_panel.commandAvailable(command);
    }
}

void KeyboardNavigation::refreshShortcuts()
{
    for (auto& [command, shortcut] : m_shortcuts)
        shortcut->setEnabled(keyCommandAvailable(command));
}

bool KeyboardNavigation::eventFilter(QObject* watched, QEvent* event)
{
    if (cheatKey(watched, event))
        return true;
    if (event->type() == QEvent::WindowDeactivate && watched == m_window)
        releaseCheatKey();
    return QObject::eventFilter(watched, event);
}

bool KeyboardNavigation::cheatKey(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != m_window)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    static const QKeyCombination cheat = portableKey(keyBinding(KeyCommand::Cheat).keys.front())[0];
    if (key->key() != cheat.key())
        return false;
    if (event->type() == QEvent::KeyRelease) {
        // The key may be let go before or after its modifier.
        if (!m_cheatKeyHeld)
            return false;
        if (!key->isAutoRepeat())
            releaseCheatKey();
        return true;
    }
    if ((key->modifiers() & ~Qt::KeypadModifier) != cheat.keyboardModifiers())
        return false;
    if (m_cheatKeyHeld)
        return true; // the key repeats while it is held
    if (!keyCommandAvailable(KeyCommand::Cheat))
        return false;
    // Held as the button is held under the pointer.
    m_cheatKeyHeld = true;
    m_panel.holdCheat(true);
    return true;
}

void KeyboardNavigation::releaseCheatKey()
{
    if (!m_cheatKeyHeld)
        return;
    m_cheatKeyHeld = false;
    m_panel.holdCheat(false);
}

void KeyboardNavigation::setPageFocusOrder(const std::vector<QWidget*>& controls, bool takeFocus)
{
    m_pageFocus.assign(controls.begin(), controls.end());
    if (!takeFocus)
        return;
    for (QWidget* control : controls) {
        if (control->isVisibleTo(m_window) && control->isEnabled()) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    m_pageArea->setFocus(Qt::OtherFocusReason);
}

bool KeyboardNavigation::focusIsOnPage() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != m_window)
        focus = m_window->focusWidget();
    return focus && (focus == m_pageArea || m_pageArea->isAncestorOf(focus));
}

std::vector<QWidget*> KeyboardNavigation::tabCycle() const
{
    auto takesTab = [this](QWidget* control) {
        return control && control->isVisibleTo(m_window) && control->isEnabled()
               && (control->focusPolicy() & Qt::TabFocus);
    };
    std::vector<QWidget*> cycle;
    for (const QPointer<QWidget>& control : m_pageFocus)
        if (takesTab(control.data()))
            cycle.push_back(control.data());
    for (ReportKind kind : {ReportKind::Summary, ReportKind::Detailed})
        if (ReportView* view = m_reports.view(kind); takesTab(view))
            cycle.push_back(view);
    const std::vector<QWidget*> panel = m_panel.tabStops();
    cycle.insert(cycle.end(), panel.begin(), panel.end());
    return cycle;
}

bool KeyboardNavigation::moveFocus(bool next)
{
    QWidget* current = m_window->focusWidget();
    // A page control that goes away (its page is left, the start picture
    // is clicked) leaves the focus on the page: Tab starts again at the
    // page's first control, and the next page takes the focus.
    if (current && current != m_pageArea && m_pageArea->isAncestorOf(current) && !current->isVisible()) {
        m_pageArea->setFocus(Qt::OtherFocusReason);
        return true;
    }
    const std::vector<QWidget*> cycle = tabCycle();
    if (cycle.empty())
        return false;
    const auto at = std::find(cycle.begin(), cycle.end(), current);
    const int count = static_cast<int>(cycle.size());
    int index = next ? 0 : count - 1;
    if (at != cycle.end())
        index = (static_cast<int>(at - cycle.begin()) + (next ? 1 : -1) + count) % count;
    cycle[static_cast<std::size_t>(index)]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

QList<QPair<QString, QString>> KeyboardNavigation::keyboardHelp() const
{
    auto keyName = [](const QKeySequence& key) { return key.toString(QKeySequence::NativeText); };
    auto captionOf = [this](const std::string& name) {
        const QString objectName = QString::fromStdString(name);
        QString caption;
        if (const QAction* item = m_window->findChild<QAction*>(objectName))
            caption = item->text();
        else if (const auto* button = m_window->findChild<QPushButton*>(objectName))
            caption = button->text();
        return caption.remove(QLatin1Char('&'));
    };
    auto message = [this](int number) { return m_messageText ? m_messageText(number) : QString(); };
    QList<QPair<QString, QString>> lines;
    auto addWindowLines = [&](bool tabKeys) {
        QString keys;
        const KeyBinding* group = nullptr;
        auto flush = [&] {
            if (group)
                lines.append({keys, group->message > 0 ? message(group->message) : captionOf(group->captionOf)});
            group = nullptr;
            keys.clear();
        };
        for (const KeyBinding& binding : windowKeyBindings()) {
            const bool isTab = binding.command == KeyCommand::NextControl || binding.command == KeyCommand::PreviousControl;
            if (isTab != tabKeys)
                continue;
            // Neighbours named by the same text share a line.
            if (!group || binding.message != group->message || binding.captionOf != group->captionOf)
                flush();
            for (const std::string& key : binding.keys)
                keys += (keys.isEmpty() ? QString() : QStringLiteral(", ")) + keyName(portableKey(key));
            group = &binding;
        }
        flush();
    };
    addWindowLines(true);
    // The answering keys of each kind of object, grouped by what they do
    // in the order the line's text names it.
    const std::pair<AnswerObject, int> objects[] = {
        {AnswerObject::Choice, 115}, {AnswerObject::TrueFalse, 116}, {AnswerObject::Item, 117}};
    for (const auto& [object, text] : objects) {
        QList<AnswerKey> meanings;
        QStringList groups;
        for (const AnswerKeyBinding& binding : answerKeyBindings()) {
            if (binding.object != object)
                continue;
            const QString key = keyName(QKeySequence(binding.key == Qt::Key_Backtab ? QKeyCombination(Qt::SHIFT, Qt::Key_Tab)
                                                                                    : QKeyCombination(binding.key)));
            qsizetype at = meanings.indexOf(binding.meaning);
            if (at < 0) {
                meanings.append(binding.meaning);
                groups.append(key);
            } else {
                groups[at] += QStringLiteral(", ") + key;
            }
        }
        lines.append({groups.join(QStringLiteral(" / ")), message(text)});
    }
    addWindowLines(false);
    return lines;
}

} // namespace zx
