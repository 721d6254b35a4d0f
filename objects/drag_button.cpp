#include "objects/drag_button.h"

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
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto& handler = event->type() == QEvent::KeyPress ? onKeyDown : onKeyUp;
        if (handler) {
            const auto run = handler;
            if (run(*static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
        }
    }
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
