#include "objects/shape_control.h"

#include "objects/page_accessibility.h"

#include <QPainter>

#include <algorithm>

namespace zx {

ShapeControl::ShapeControl(QWidget* parent)
    : QWidget(parent)
    , m_pen(QColor(Qt::black), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
    , m_brush(QColor(Qt::white), Qt::SolidPattern)
{
    // A shape is a graphic to screen readers, never a control.
    installPageAccessibility();
    setAttribute(Qt::WA_NoSystemBackground);
}

void ShapeControl::setShapeKind(ShapeKind kind)
{
    if (m_kind != kind) {
        m_kind = kind;
        update();
    }
}

void ShapeControl::setPen(const QPen& pen)
{
    m_pen = pen;
    update();
}

void ShapeControl::setBrush(const QBrush& brush)
{
    m_brush = brush;
    update();
}

void ShapeControl::paintEvent(QPaintEvent*)
{
    const bool outline = m_pen.style() != Qt::NoPen;
    const bool fill = m_brush.style() != Qt::NoBrush;
    if (!outline && !fill)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrush(m_brush);
    painter.setPen(outline ? m_pen : QPen(Qt::NoPen));

    // The stroke straddles the outline, so the outline is drawn half a pen
    // width inside the bounds and the whole pen stays inside.
    const double penWidth = outline ? std::max(1, m_pen.width()) : 0.0;
    const QRectF box(penWidth / 2.0, penWidth / 2.0, std::max(0.0, width() - penWidth),
                     std::max(0.0, height() - penWidth));
    switch (m_kind) {
    case ShapeKind::Rectangle:
        painter.drawRect(box);
        break;
    case ShapeKind::RoundRect: {
        const double radius = std::min(width(), height()) / 4;
        painter.drawRoundedRect(box, radius, radius);
        break;
    }
    case ShapeKind::Ellipse:
        painter.drawEllipse(box);
        break;
    }
}

} // namespace zx
