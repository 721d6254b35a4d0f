#include "app/language_applier.h"

#include "objects/qt_text.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStringList>
#include <QTabWidget>

namespace zx {

namespace {

bool isRadioGroup(const QObject* object)
{
    return qobject_cast<const QGroupBox*>(object) && object->property("zxRadioGroup").toBool();
}

// The tab widget holding `page` as one of its pages, and the page's index.
QTabWidget* tabOfPage(QObject* object, int& index)
{
    auto* page = qobject_cast<QWidget*>(object);
    if (!page)
        return nullptr;
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return nullptr;
    index = tabs->indexOf(page);
    return index >= 0 ? tabs : nullptr;
}

QList<QRadioButton*> radioItems(QGroupBox* group)
{
    return group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

LanguageApplier::LanguageApplier(const LanguageWindows& windows)
    : m_windows(windows)
{
    indexWindow(m_windows.mainForm);
    indexWindow(m_windows.help);
    indexWindow(m_windows.userDetails);
    indexWindow(m_windows.password);
}

void LanguageApplier::indexWindow(QWidget* window)
{
    if (window)
        indexChildren(window);
}

void LanguageApplier::indexChildren(QObject* parent)
{
    for (QObject* child : parent->children()) {
        // A window of its own that the window merely owns (the About,
        // progress, message and Help windows, the bank dialogs) is not one
        // of its controls: it is searched in its own turn or not at all.
        // Menus and the open and save dialogs are part of the window.
        if (auto* widget = qobject_cast<QWidget*>(child);
            widget && widget->isWindow() && !qobject_cast<QMenu*>(widget) && !qobject_cast<QFileDialog*>(widget))
            continue;
        const QString name = child->objectName();
        if (!name.isEmpty() && !m_controls.contains(name))
            m_controls.insert(name, QPointer<QObject>(child));
        indexChildren(child);
    }
}

QObject* LanguageApplier::findControl(const QString& name) const
{
    const auto it = m_controls.constFind(name);
    return it == m_controls.constEnd() ? nullptr : it->data();
}

void LanguageApplier::apply(const LanguageTexts& texts)
{
    for (const FormTextLine& line : texts.formTexts)
        applyLine(line);
}

bool LanguageApplier::applyHint(QObject* control, const QString& hint)
{
    const QString shortPart = hint.section(QLatin1Char('|'), 0, 0);
    const QString longPart = hint.contains(QLatin1Char('|')) ? hint.section(QLatin1Char('|'), 1) : hint;
    control->setProperty("zxHint", hint);
    if (auto* action = qobject_cast<QAction*>(control)) {
        action->setToolTip(shortPart);
        action->setStatusTip(longPart);
        return true;
    }
    if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->menuAction()->setToolTip(shortPart);
        menu->menuAction()->setStatusTip(longPart);
        menu->menuAction()->setProperty("zxHint", hint);
        return true;
    }
    if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setToolTip(shortPart);
        widget->setStatusTip(longPart);
        return true;
    }
    return false;
}

bool LanguageApplier::applyLine(const FormTextLine& line)
{
    const QString value = widgetText(line.value);

    if (line.isFormCaption()) {
        QWidget* window = nullptr;
        if (line.control == "MainForm")
            window = m_windows.mainForm;
        else if (line.control == "AboutBox")
            window = m_windows.aboutBox;
        else if (line.control == "UserDetails")
            window = m_windows.userDetails;
        else if (line.control == "Password")
            window = m_windows.password;
        if (!window)
            return false;
        window->setWindowTitle(value);
        return true;
    }

    QObject* control = findControl(widgetText(line.control));
    if (!control)
        return false;
    const bool hint = line.isHint();
    const std::string& property = line.property;

    // Menu item (an action, or a submenu).
    if (auto* action = qobject_cast<QAction*>(control)) {
        if (hint)
            return applyHint(action, value);
        action->setText(value);
        return true;
    }
    if (auto* menu = qobject_cast<QMenu*>(control)) {
        if (hint)
            return applyHint(menu, value);
        menu->setTitle(value);
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (hint)
            return applyHint(label, value);
        label->setText(value);
        return true;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return hint && applyHint(edit, value);
    if (auto* group = qobject_cast<QGroupBox*>(control); group && !isRadioGroup(group)) {
        if (hint)
            return applyHint(group, value);
        group->setTitle(value);
        return true;
    }
    int tabIndex = -1;
    if (QTabWidget* tabs = tabOfPage(control, tabIndex)) {
        tabs->setTabText(tabIndex, value);
        return true;
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (hint)
            return applyHint(combo, value);
        if (property != "Items")
            return false;
        combo->clear();
        for (const std::string& item : splitComboItems(line.value))
            combo->addItem(widgetText(item));
        return true;
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        if (hint)
            return applyHint(button, value);
        button->setText(value);
        return true;
    }
    if (isRadioGroup(control)) {
        auto* group = static_cast<QGroupBox*>(control);
        if (hint)
            return applyHint(group, value);
        if (property == "Caption") {
            group->setTitle(value);
            return true;
        }
        const QList<QRadioButton*> items = radioItems(group);
        const int item = property == "Item1" ? 0 : property == "Item2" ? 1 : -1;
        if (item < 0 || item >= items.size())
            return false;
        items[item]->setText(value);
        return true;
    }
    if (auto* radio = qobject_cast<QRadioButton*>(control)) {
        if (hint)
            return applyHint(radio, value);
        if (property != "Caption")
            return false;
        radio->setText(value);
        return true;
    }
    if (auto* check = qobject_cast<QCheckBox*>(control)) {
        if (hint)
            return applyHint(check, value);
        if (property != "Caption")
            return false;
        check->setText(value);
        return true;
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(control)) {
        if (property == "Title") {
            dialog->setWindowTitle(value);
            return true;
        }
        if (property == "Filter") {
            QStringList filters;
            for (const std::string& filter : dialogNameFilters(line.value))
                filters << widgetText(filter);
            if (filters.isEmpty())
                return false;
            dialog->setNameFilters(filters);
            return true;
        }
        return false;
    }
    return false;
}

void applyLanguage(const LanguageTexts& texts, const LanguageWindows& windows)
{
    LanguageApplier(windows).apply(texts);
}

} // namespace zx
