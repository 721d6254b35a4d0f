#include "objects/image_control.h"

#include "objects/answer_keys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace zx {

ImageControl::ImageControl(QWidget* parent)
    : QWidget(parent)
{
    installPageAccessibility();
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ImageControl::clearHandlers()
{
    onClick = nullptr;
    onMouseMove = nullptr;
    onMouseDown = nullptr;
    onMouseUp = nullptr;
    onKeyDown = nullptr;
    onKeyUp = nullptr;
    onFocusOut = nullptr;
}

bool ImageControl::event(QEvent* event)
{
    if (offerKey(event, onKeyDown, onKeyUp))
        return true;
    return QWidget::event(event);
}

void ImageControl::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (onFocusOut) {
        const auto run = onFocusOut;
        run();
    }
}

void ImageControl::setPicture(const QImage& picture)
{
    m_picture = picture;
    prepareDrawn();
    update();
}

void ImageControl::setStretch(bool on)
{
    if (m_stretch != on) {
        m_stretch = on;
        update();
    }
}

void ImageControl::setCenter(bool on)
{
    if (m_center != on) {
        m_center = on;
        update();
    }
}

void ImageControl::setTransparent(bool on)
{
    if (m_transparent != on) {
        m_transparent = on;
        prepareDrawn();
        update();
    }
}

void ImageControl::prepareDrawn()
{
    if (m_picture.isNull()) {
        m_drawn = QImage();
        return;
    }
    if (!m_transparent || m_picture.hasAlphaChannel()) {
        m_drawn = m_picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return;
    }
    QImage image = m_picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == key)
                line[x] = 0;
    }
    m_drawn = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (m_drawn.isNull())
        return;
    QPainter painter(this);
    if (m_stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rect(), m_drawn);
    } else if (m_center) {
        // Halves truncated towards zero, as integer pixel positions.
        painter.drawImage(QPoint((width() - m_drawn.width()) / 2, (height() - m_drawn.height()) / 2), m_drawn);
    } else {
        painter.drawImage(QPoint(0, 0), m_drawn);
    }
}

void ImageControl::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouseMove)
        onMouseMove(*event);
    event->accept();
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    if (onMouseDown)
        onMouseDown(*event);
    event->accept();
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    // A handler may release the control that runs it (a click that starts
    // the test); nothing of this object is touched after that.
    QPointer<ImageControl> self(this);
    const bool click = event->button() == Qt::LeftButton && m_leftPressed
                       && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
    if (click && onClick) {
        const auto handler = onClick;
        handler();
        if (!self)
            return;
    }
    if (onMouseUp) {
        const auto handler = onMouseUp;
        handler(*event);
        if (!self)
            return;
    }
    event->accept();
}

void releaseImage(QPointer<ImageControl>& image)
{
    if (ImageControl* control = image.data()) {
        control->clearHandlers();
        control->describe = nullptr;
        control->hide();
        control->setParent(nullptr);
        control->deleteLater();
    }
    image = nullptr;
}

} // namespace zx
