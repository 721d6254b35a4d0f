#include "objects/drag_button.h"

#include "objects/answer_keys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace zx {

DragButton::DragButton(QWidget* parent)
    : QPushButton(parent)
{
    installPageAccessibility();
    setMouseTracking(true);
}

void DragButton::clearHandlers()
{
    onMouseMove = nullptr;
    onMouseDown = nullptr;
    onMouseUp = nullptr;
    onKeyDown = nullptr;
    onKeyUp = nullptr;
    onFocusOut = nullptr;
    describe = nullptr;
}

bool DragButton::event(QEvent* event)
{
    if (offerKey(event, onKeyDown, onKeyUp))
        return true;
    return QPushButton::event(event);
}

void DragButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    if (onFocusOut) {
        const auto run = onFocusOut;
        run();
    }
}

void DragButton::mouseMoveEvent(QMouseEvent* event)
{
    QPointer<DragButton> self(this);
    if (onMouseMove) {
        const auto handler = onMouseMove;
        handler(*event);
    }
    if (self)
        QPushButton::mouseMoveEvent(event);
}

void DragButton::mousePressEvent(QMouseEvent* event)
{
    QPointer<DragButton> self(this);
    if (self)
        QPushButton::mousePressEvent(event);
    if (self && onMouseDown) {
        const auto handler = onMouseDown;
        handler(*event);
    }
}

void DragButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The handler may release the button (its glide can end the page), so
    // the button's own handling comes first.
    QPointer<DragButton> self(this);
    QPushButton::mouseReleaseEvent(event);
    if (self && onMouseUp) {
        const auto handler = onMouseUp;
        handler(*event);
    }
}

} // namespace zx
