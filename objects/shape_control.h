// A shape control: a rectangle, rounded rectangle or ellipse filling the
// control's bounds, drawn with a pen (kept inside the bounds) and a brush.
// Hatched brushes draw their lines only; the gaps stay see-through.
#pragma once

#include <QBrush>
#include <QPen>
#include <QWidget>

namespace zx {

enum class ShapeKind { Rectangle, RoundRect, Ellipse };

class ShapeControl : public QWidget {
public:
    explicit ShapeControl(QWidget* parent);

    ShapeKind shapeKind() const { return m_kind; }
    void setShapeKind(ShapeKind kind);
    // A pen of style Qt::NoPen draws no outline.
    const QPen& pen() const { return m_pen; }
    void setPen(const QPen& pen);
    // A brush of style Qt::NoBrush leaves the inside clear.
    const QBrush& brush() const { return m_brush; }
    void setBrush(const QBrush& brush);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ShapeKind m_kind = ShapeKind::Rectangle;
    QPen m_pen;
    QBrush m_brush;
};

} // namespace zx
