// The page's background picture, drawn on the main window's own surface
// below every control: at a corner, centred or tiled over the page area.
// It has no layer and no feedback id; the page builder loads it and the
// main window's paint handler draws it before anything else.
#pragma once

#include "objects/zx_object.h"

#include <QImage>
#include <QPixmap>

#include <optional>

class QPainter;

namespace zx {

class zxBackground : public zxObject {
public:
    static constexpr std::string_view defaultRecord =
        "<bgFilePathAbs>0</bgFilePathAbs><bgFilePathRel></bgFilePathRel><bgPosition>0</bgPosition>";

    explicit zxBackground(QWidget* mainWindow, PageContext context = {});
    ~zxBackground() override;

    // Takes the page's background record and loads its picture for a page
    // area of areaWidth x areaHeight (the window's client area above the
    // control panel): corners and centre are those of this area, and tiles
    // cover it.  "bgFilePathAbs" names the picture: the bank's copy of it
    // when the resolver finds one, else the path as stored (an editor
    // preview); "0" means no picture.
    void load(std::string record, int areaHeight, int areaWidth);
    // Draws the picture at its position; the painter's device is the main
    // window (or its page area), whose origin is the page's top-left.
    void paint(QPainter& painter) const;
    // Forgets the picture.
    void releaseControls();

    bool loaded() const { return m_loaded; }
    int position() const { return m_position; }
    int areaWidth() const { return m_areaWidth; }
    int areaHeight() const { return m_areaHeight; }
    // The held picture (null when there is none).
    QImage picture() const { return m_holder ? *m_holder : QImage(); }

private:
    std::optional<QImage> m_holder;
    QPixmap m_pixmap;
    bool m_loaded = false;
    int m_position = 0;
    int m_areaHeight = 0;
    int m_areaWidth = 0;
};

} // namespace zx
