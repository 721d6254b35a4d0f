#include "objects/zx_shape.h"

#include "objects/qt_text.h"
#include "objects/shape_control.h"
#include "tagtext/tagged_text.h"

#include <QGuiApplication>

#include <algorithm>

namespace zx {

namespace {

// Pens wider than this are drawn this wide; no shape needs more.
constexpr int widestPen = 1000;

ShapeKind shapeKind(int value)
{
    switch (value) {
    case 1: return ShapeKind::RoundRect;
    case 2: return ShapeKind::Ellipse;
    default: return ShapeKind::Rectangle;
    }
}

Qt::PenStyle penStyle(int value)
{
    switch (value) {
    case 1: return Qt::DotLine;
    case 2: return Qt::DashLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

Qt::BrushStyle brushStyle(int value)
{
    switch (value) {
    case 1: return Qt::BDiagPattern;
    case 2: return Qt::FDiagPattern;
    case 3: return Qt::CrossPattern;
    case 4: return Qt::DiagCrossPattern;
    case 5: return Qt::HorPattern;
    case 6: return Qt::VerPattern;
    default: return Qt::SolidPattern;
    }
}

} // namespace

zxShape::zxShape(QWidget* parentWindow, std::string record, PageContext context)
    : zxObject(parentWindow, std::move(record), std::move(context))
    , m_layer(getTagInt(m_record, "ShapeLayer", 6))
{
}

zxShape::~zxShape()
{
    releaseControls();
}

void zxShape::showFor(int layer, QWidget* parent, const std::string& feedbackId)
{
    if (takeParentFor(parent, feedbackId))
        showLayer(layer);
}

void zxShape::showLayer(int layer)
{
    if (layer != m_layer && layer >= 0)
        return;
    if (!m_parentWindow)
        return;
    if (!m_shape) {
        // A new control lies above its existing siblings; it is not raised
        // on later shows.
        m_shape = new ShapeControl(m_parentWindow.data());
    } else {
        adoptControl(m_shape);
    }
    ShapeControl& shape = *m_shape;
    shape.setGeometry(getTagInt(m_record, "ShapeLeft", 0), getTagInt(m_record, "ShapeTop", 0),
                      getTagInt(m_record, "ShapeWidth", 20), getTagInt(m_record, "ShapeHeight", 20));
    shape.setShapeKind(shapeKind(getTagInt(m_record, "ShapeShape", 0)));

    // Colours that are no colour keep the defaults (black pen, white
    // brush); the shape is still drawn.
    const QPalette palette = QGuiApplication::palette();
    QPen pen(QColor(Qt::black), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    const int penWidth = getTagInt(m_record, "ShapePenWidth", 0);
    if (penWidth != 0) {
        pen.setWidth(std::clamp(penWidth, 1, widestPen));
        pen.setColor(colourFromRecordText(getTag(m_record, "ShapePenColour"), palette, QColor(Qt::black))
                         .value_or(QColor(Qt::black)));
        pen.setStyle(penStyle(getTagInt(m_record, "ShapePenStyle", 0)));
    } else {
        pen.setStyle(Qt::NoPen);
    }
    shape.setPen(pen);

    const QColor brushColour =
        colourFromRecordText(getTag(m_record, "ShapeColor"), palette, QColor(Qt::white)).value_or(QColor(Qt::white));
    const Qt::BrushStyle style = getTagInt(m_record, "ShapeTransparent", 0) == 1
                                     ? Qt::NoBrush
                                     : brushStyle(getTagInt(m_record, "ShapeStyle", 1));
    shape.setBrush(QBrush(brushColour, style));
    shape.show();
}

void zxShape::releaseControls()
{
    delete m_shape.data();
    m_shape = nullptr;
}

} // namespace zx
