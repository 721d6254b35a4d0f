// An image control: a child widget that shows one picture at the top-left
// corner (natural size, clipped), centred, or stretched over its bounds,
// optionally with the colour of its bottom-left pixel drawn transparent.
// It paints no background of its own, so whatever lies below shows through
// where the picture does not reach.  Page objects attach plain handlers for
// the pointer and, where the picture answers, for the keyboard; they also
// tell screen readers what the picture is (Describable).
#pragma once

#include "objects/answer_keys.h"
#include "objects/page_accessibility.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

class QKeyEvent;
class QMouseEvent;

namespace zx {

class ImageControl : public QWidget, public Describable {
public:
    explicit ImageControl(QWidget* parent);

    // The decoded picture, exactly as loaded (null when empty).
    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    void clearPicture() { setPicture(QImage()); }
    bool hasPicture() const { return !m_picture.isNull(); }
    // Natural size of the picture; 0 x 0 when empty.
    QSize naturalSize() const { return m_picture.isNull() ? QSize(0, 0) : m_picture.size(); }

    bool stretch() const { return m_stretch; }
    void setStretch(bool on);
    bool center() const { return m_center; }
    void setCenter(bool on);
    // A picture without an alpha channel is drawn with every pixel of its
    // bottom-left pixel's colour left out; a picture with one (a GIF with
    // transparency) keeps its own.
    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);

    // Pointer handlers.  A click is a left press and release inside the
    // control; it is reported before the release handler.
    std::function<void()> onClick;
    std::function<void(QMouseEvent&)> onMouseMove;
    std::function<void(QMouseEvent&)> onMouseDown;
    std::function<void(QMouseEvent&)> onMouseUp;

    // Keyboard handlers, for a picture that takes the focus.  A key the
    // handler takes (it returns true) goes no further, Tab included; the
    // handler may release the control.
    KeyHandler onKeyDown;
    KeyHandler onKeyUp;
    std::function<void()> onFocusOut;

    // Drops every pointer and keyboard handler.
    void clearHandlers();

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void prepareDrawn();

    QImage m_picture;
    QImage m_drawn; // premultiplied, transparency applied
    bool m_stretch = false;
    bool m_center = false;
    bool m_transparent = false;
    bool m_leftPressed = false;
};

// Takes an image off its window at once and deletes it when control
// returns to the event loop (releasing may happen inside one of the image's
// own pointer handlers, a click that leads to the page being left); its
// handlers are dropped first so it never calls back.
void releaseImage(QPointer<ImageControl>& image);

} // namespace zx
