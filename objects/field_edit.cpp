#include "objects/field_edit.h"

#include "objects/page_accessibility.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

namespace zx {

FieldEdit::FieldEdit(QWidget* parent)
    : QLineEdit(parent)
{
    installPageAccessibility();
    setReadOnly(true);
}

int FieldEdit::caret() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

bool FieldEdit::isCommandKey(const QKeyEvent& event)
{
    if (event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut) || event.matches(QKeySequence::Undo)
        || event.matches(QKeySequence::Redo) || event.matches(QKeySequence::Delete))
        return true;
    const Qt::KeyboardModifiers mods = event.modifiers();
    return (mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier);
}

void FieldEdit::keyPressEvent(QKeyEvent* event)
{
    QPointer<FieldEdit> self(this);
    if (onKeyDown) {
        const auto handler = onKeyDown;
        handler(*event);
        if (!self)
            return;
    }
    QLineEdit::keyPressEvent(event);
    if (self)
        setReadOnly(true);
}

void FieldEdit::keyReleaseEvent(QKeyEvent* event)
{
    setReadOnly(true);
    QLineEdit::keyReleaseEvent(event);
}

void FieldEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    // A read-only box draws no caret; the candidate still needs to see
    // where the next character goes.
    if (isReadOnly() && hasFocus()) {
        const QRect r = cursorRect();
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        const int x = r.center().x();
        painter.drawLine(x, r.top() + 1, x, r.bottom() - 1);
    }
}

} // namespace zx
