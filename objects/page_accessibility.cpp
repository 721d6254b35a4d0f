#include "objects/page_accessibility.h"

#include "objects/field_edit.h"
#include "objects/shape_control.h"

#include <QAccessibleWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace zx {

namespace {

constexpr const char* documentProperty = "zxDocument";

class DescribedAccessible : public QAccessibleWidget {
public:
    DescribedAccessible(QWidget* widget, Describable& source)
        : QAccessibleWidget(widget)
        , m_source(source)
    {
    }

    QAccessible::Role role() const override
    {
        return m_source.describe ? info().role : QAccessibleWidget::role();
    }

    QString text(QAccessible::Text t) const override
    {
        if (!m_source.describe)
            return QAccessibleWidget::text(t);
        const AccessibleInfo i = info();
        switch (t) {
        case QAccessible::Name:
            return i.name;
        case QAccessible::Description:
            return i.description;
        case QAccessible::Value:
            return i.value;
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (!m_source.describe)
            return s;
        const AccessibleInfo i = info();
        s.checkable = i.checkable;
        s.checked = i.checked;
        s.pressed = i.pressed;
        s.readOnly = i.readOnly;
        return s;
    }

private:
    AccessibleInfo info() const { return m_source.describe ? m_source.describe() : AccessibleInfo{}; }

    Describable& m_source;
};

// The box of a typed-answer field.  Its text interface lets a screen
// reader read what was typed and follow the caret.
class FieldAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit FieldAccessible(FieldEdit* box)
        : QAccessibleWidget(box, QAccessible::EditableText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = box()->answersFinal();
        s.editable = !s.readOnly;
        s.selectableText = true;
        return s;
    }

    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && box()->hasSelectedText()) {
            *start = box()->selectionStart();
            *end = *start + static_cast<int>(box()->selectedText().size());
        }
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { box()->deselect(); }
    void setSelection(int, int start, int end) override { box()->setSelection(start, end - start); }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    QString text(int start, int end) const override { return box()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }
    QRect characterRect(int offset) const override
    {
        const QFontMetrics metrics = box()->fontMetrics();
        const QString text = box()->text();
        const int x = box()->contentsRect().left() + metrics.horizontalAdvance(text.left(offset));
        const int width = offset < text.size() ? metrics.horizontalAdvance(text.at(offset)) : 1;
        const QRect local(x, (box()->height() - metrics.height()) / 2, width, metrics.height());
        return QRect(box()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int) override { box()->setCursorPosition(start); }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    FieldEdit* box() const { return static_cast<FieldEdit*>(widget()); }
};

// A report: a read-only document, read paragraph by paragraph.
class DocumentAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DocumentAccessible(QTextEdit* view)
        : QAccessibleWidget(view, QAccessible::Document)
    {
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return view()->toPlainText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    void selection(int index, int* start, int* end) const override
    {
        const QTextCursor c = view()->textCursor();
        *start = *end = 0;
        if (index == 0 && c.hasSelection()) {
            *start = c.selectionStart();
            *end = c.selectionEnd();
        }
    }
    int selectionCount() const override { return view()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override
    {
        QTextCursor c = view()->textCursor();
        c.clearSelection();
        view()->setTextCursor(c);
    }
    void setSelection(int, int start, int end) override
    {
        QTextCursor c = cursorAt(start);
        c.setPosition(clamped(end), QTextCursor::KeepAnchor);
        view()->setTextCursor(c);
    }
    int cursorPosition() const override { return view()->textCursor().position(); }
    void setCursorPosition(int position) override { view()->setTextCursor(cursorAt(position)); }
    QString text(int start, int end) const override
    {
        QTextCursor c = cursorAt(start);
        c.setPosition(clamped(end), QTextCursor::KeepAnchor);
        return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    }
    int characterCount() const override { return std::max(0, view()->document()->characterCount() - 1); }
    QRect characterRect(int offset) const override
    {
        const QRect r = view()->cursorRect(cursorAt(offset));
        return QRect(view()->viewport()->mapToGlobal(r.topLeft()), QSize(std::max(1, r.width()), r.height()));
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return view()->cursorForPosition(view()->viewport()->mapFromGlobal(point)).position();
    }
    void scrollToSubstring(int start, int) override
    {
        view()->setTextCursor(cursorAt(start));
        view()->ensureCursorVisible();
    }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    QTextEdit* view() const { return static_cast<QTextEdit*>(widget()); }
    int clamped(int offset) const { return std::clamp(offset, 0, characterCount()); }
    QTextCursor cursorAt(int offset) const
    {
        QTextCursor c(view()->document());
        c.setPosition(clamped(offset));
        return c;
    }
};

QAccessibleInterface* pageAccessibleFactory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    // Decided once per control, often before its object has described it
    // (Qt asks as soon as a control is shown or captioned), so a
    // describable control always gets the interface that asks it.
    if (auto* source = dynamic_cast<Describable*>(object))
        return new DescribedAccessible(widget, *source);
    if (auto* box = dynamic_cast<FieldEdit*>(object))
        return new FieldAccessible(box);
    if (dynamic_cast<ShapeControl*>(object))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (auto* view = qobject_cast<QTextEdit*>(object); view && view->property(documentProperty).toBool())
        return new DocumentAccessible(view);
    return nullptr;
}

} // namespace

void installPageAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(pageAccessibleFactory);
        return true;
    }();
    (void)installed;
}

void announceAccessibleChange(QWidget* widget)
{
    if (!widget || !QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    changed.pressed = true;
    QAccessibleStateChangeEvent state(widget, changed);
    QAccessible::updateAccessibility(&state);
    // Screen readers speak the control in focus again when its name changes;
    // controls with more than two states carry their answer in the name.
    QAccessibleEvent name(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
}

void presentAsDocument(QTextEdit* view)
{
    if (!view)
        return;
    installPageAccessibility();
    view->setProperty(documentProperty, true);
}

} // namespace zx
