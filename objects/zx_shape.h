// A rectangle, rounded rectangle or ellipse on a page or a feedback panel,
// with the pen and brush its record gives.
#pragma once

#include "objects/shape_control.h"
#include "objects/zx_object.h"

#include <QPointer>

namespace zx {



class zxShape : public zxObject {
public:
    zxShape(QWidget* parentWindow, std::string record, PageContext context = {});
    ~zxShape() override;

    int layer() const { return m_layer; }
    ShapeControl* shape() const { return m_shape.data(); }

    void showFor(int layer, QWidget* parent, const std::string& feedbackId);
    // Creates the shape if needed and applies the whole record; only for
    // the shape's own layer, or any layer when `layer` is negative.  A
    // shape keeps the stacking place it got when it was created.
    void showLayer(int layer);
    void releaseControls();

private:
    QPointer<ShapeControl> m_shape;
    int m_layer;
};

} // namespace zx
