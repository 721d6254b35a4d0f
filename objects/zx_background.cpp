#include "objects/zx_background.h"

#include "objects/picture_loader.h"
#include "tagtext/tagged_text.h"

#include <QPainter>

#include <filesystem>

namespace zx {

zxBackground::zxBackground(QWidget* mainWindow, PageContext context)
    : zxObject(mainWindow, std::string(defaultRecord), std::move(context))
{
}

zxBackground::~zxBackground()
{
    releaseControls();
}

void zxBackground::load(std::string record, int areaHeight, int areaWidth)
{
    m_record = std::move(record);
    m_areaHeight = areaHeight;
    m_areaWidth = areaWidth;
    m_position = getTagInt(m_record, "bgPosition", 0);

    // Every load starts from an empty holder, so a picture that cannot be
    // read never leaves an earlier page's picture behind.
    m_holder = QImage();
    m_pixmap = QPixmap();
    std::string path = getTag(m_record, "bgFilePathAbs");
    if (path != "0") {
        // The bank's own copy first: the path as the author stored it only
        // exists on the author's machine (it still serves an editor preview).
        const std::string embedded = m_context.resolve(path);
        std::error_code error;
        if (m_context.resolveBankFile && std::filesystem::is_regular_file(embedded, error))
            path = embedded;
        QImage picture;
        if (readPictureFile(path, picture) == PictureReadResult::Loaded) {
            m_holder = picture;
            m_pixmap = QPixmap::fromImage(picture);
        }
        m_loaded = true;
    } else {
        m_loaded = false;
    }
}

void zxBackground::paint(QPainter& painter) const
{
    if (!m_holder || !m_loaded || m_pixmap.isNull())
        return;
    const int w = m_pixmap.width();
    const int h = m_pixmap.height();
    if (w < 1 || h < 1)
        return;
    const int W = m_areaWidth;
    const int H = m_areaHeight;
    switch (m_position) {
    case 1:
        painter.drawPixmap(0, 0, m_pixmap);
        break;
    case 2:
        painter.drawPixmap(W - w, 0, m_pixmap);
        break;
    case 3:
        painter.drawPixmap(0, H - h, m_pixmap);
        break;
    case 4:
        painter.drawPixmap(W - w, H - h, m_pixmap);
        break;
    case 5: {
        // Columns 0 to W div w and rows 0 to H div h, both inclusive: the
        // last ones run past the area and are clipped by the window.
        if (W < 0 || H < 0)
            break;
        const int columns = W / w + 1;
        const int rows = H / h + 1;
        painter.drawTiledPixmap(QRect(0, 0, columns * w, rows * h), m_pixmap);
        break;
    }
    default:
        painter.drawPixmap((W - w) / 2, (H - h) / 2, m_pixmap);
        break;
    }
}

void zxBackground::releaseControls()
{
    m_holder.reset();
    m_pixmap = QPixmap();
}

} // namespace zx
