#include "tools/bankimport/qt_import_media.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace zx::import {

namespace {

// Points at 96 dots per inch, as the player's text objects.
int pixelSize(int points) { return std::max(1, static_cast<int>(std::lround(std::abs(points) * 96.0 / 72.0))); }

const QColor transparentKey(255, 0, 255); // drawn transparent by the player
const QColor navy(0, 0, 128);
const QColor trueGreen(60, 170, 60);
const QColor falseRed(210, 60, 60);
const QColor frameBlue(0, 120, 215);

std::string bmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QImage canvas(int width, int height, const QColor& fill)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

QImage choice(const QColor* fill, const QColor& ring)
{
    QImage image = canvas(24, 24, transparentKey);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(4, 4, 16, 16));
    if (fill) {
        p.setBrush(*fill);
        p.drawEllipse(QRectF(6, 6, 12, 12));
    }
    return image;
}

QImage box(bool ticked, const QColor& frame)
{
    QImage image = canvas(24, 24, transparentKey);
    QPainter p(&image);
    p.fillRect(3, 3, 18, 18, frame);
    p.fillRect(5, 5, 14, 14, Qt::white);
    if (ticked) {
        QPen pen(navy, 3);
        p.setPen(pen);
        p.drawLine(7, 12, 10, 16);
        p.drawLine(10, 16, 17, 7);
    }
    return image;
}

QImage mark(bool tick)
{
    QImage image = canvas(24, 24, transparentKey);
    QPainter p(&image);
    QPen pen(tick ? QColor(0, 150, 0) : QColor(200, 0, 0), 4);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    if (tick) {
        p.drawLine(4, 13, 10, 19);
        p.drawLine(10, 19, 20, 5);
    } else {
        p.drawLine(5, 5, 19, 19);
        p.drawLine(19, 5, 5, 19);
    }
    return image;
}

// The true/false picture: "True" on the left half, "False" on the right.
QImage trueFalse(const QColor* leftFill, const QColor* rightFill, const QColor* frame, const QColor* leftFrame,
                 const QColor* rightFrame)
{
    const int w = 100, h = 30, half = w / 2;
    QImage image = canvas(w, h, Qt::white);
    QPainter p(&image);
    if (leftFill)
        p.fillRect(0, 0, half, h, *leftFill);
    if (rightFill)
        p.fillRect(half, 0, w - half, h, *rightFill);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawRect(0, 0, w - 1, h - 1);
    p.drawLine(half, 0, half, h - 1);
    QFont font(importFontName);
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(leftFill ? Qt::white : navy);
    p.drawText(QRect(0, 0, half, h), Qt::AlignCenter, QStringLiteral("True"));
    p.setPen(rightFill ? Qt::white : navy);
    p.drawText(QRect(half, 0, w - half, h), Qt::AlignCenter, QStringLiteral("False"));
    auto frameRect = [&](const QColor& colour, const QRect& r) {
        p.setPen(QPen(colour, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(1, 1, -1, -1));
    };
    if (frame)
        frameRect(*frame, QRect(0, 0, w - 1, h - 1));
    if (leftFrame)
        frameRect(*leftFrame, QRect(0, 0, half, h - 1));
    if (rightFrame)
        frameRect(*rightFrame, QRect(half, 0, w - half - 1, h - 1));
    return image;
}

QImage startPicture()
{
    QImage image = canvas(drawn::startWidth, drawn::startHeight, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(navy);
    p.drawRoundedRect(QRectF(1, 1, drawn::startWidth - 2, drawn::startHeight - 2), 8, 8);
    QFont font(importFontName);
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, drawn::startWidth, drawn::startHeight), Qt::AlignCenter, QStringLiteral("Start"));
    return image;
}

} // namespace

QtTextMeasurer::QtTextMeasurer() = default;
QtTextMeasurer::~QtTextMeasurer() = default;

const QFontMetrics& QtTextMeasurer::metrics(const TextStyle& style) const
{
    const int key = style.points * 4 + (style.bold ? 2 : 0) + (style.italic ? 1 : 0);
    auto found = m_metrics.find(key);
    if (found == m_metrics.end()) {
        QFont font(QString::fromLatin1(importFontName));
        font.setPixelSize(pixelSize(style.points));
        font.setBold(style.bold);
        font.setItalic(style.italic);
        found = m_metrics.emplace(key, std::make_unique<QFontMetrics>(font)).first;
    }
    return *found->second;
}

int QtTextMeasurer::height(const std::string& utf8, const TextStyle& style, int width) const
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QRect r = metrics(style).boundingRect(QRect(0, 0, std::max(1, width), 1 << 20),
                                                Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    return r.height();
}

int QtTextMeasurer::width(const std::string& utf8, const TextStyle& style) const
{
    return metrics(style).horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::optional<PreparedPicture> QtImportMedia::preparePicture(const std::string& bytes, std::string& why)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    const QSize size = reader.size();
    if (format.isEmpty()) {
        why = "not a picture";
        return std::nullopt;
    }
    if (size.isValid() && static_cast<long long>(size.width()) * size.height() > 40'000'000LL) {
        why = "picture too large";
        return std::nullopt;
    }
    QImageReader::setAllocationLimit(256);
    PreparedPicture out;
    if ((format == "jpeg" || format == "jpg" || format == "gif" || format == "bmp") && size.isValid()
        && size.width() <= 4 * largestPictureSide && size.height() <= 4 * largestPictureSide) {
        // Shown as they are.
        out.bytes = bytes;
        out.extension = format == "gif" ? ".gif" : format == "bmp" ? ".bmp" : ".jpg";
        out.width = size.width();
        out.height = size.height();
        if (out.bytes.size() >= 10)
            return out;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        why = "picture cannot be decoded";
        return std::nullopt;
    }
    if (image.width() > largestPictureSide || image.height() > largestPictureSide)
        image = image.scaled(largestPictureSide, largestPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // Transparency over white, as on a page.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(0, 0, image);
    }
    out.bytes = bmpBytes(flat);
    out.extension = ".bmp";
    out.width = flat.width();
    out.height = flat.height();
    return out;
}

std::vector<std::pair<std::string, std::string>> QtImportMedia::drawnPictures()
{
    std::vector<std::pair<std::string, std::string>> out;
    const QColor grey(128, 128, 128);
    out.emplace_back(drawn::choiceNormal, bmpBytes(choice(nullptr, grey)));
    out.emplace_back(drawn::choiceOver, bmpBytes(choice(nullptr, frameBlue)));
    out.emplace_back(drawn::choiceSelected, bmpBytes(choice(&navy, navy)));
    out.emplace_back(drawn::checkNormal, bmpBytes(box(false, grey)));
    out.emplace_back(drawn::checkOver, bmpBytes(box(false, frameBlue)));
    out.emplace_back(drawn::checkSelected, bmpBytes(box(true, navy)));
    out.emplace_back(drawn::trueFalse[0], bmpBytes(trueFalse(nullptr, nullptr, nullptr, nullptr, nullptr)));
    out.emplace_back(drawn::trueFalse[1], bmpBytes(trueFalse(nullptr, nullptr, &frameBlue, nullptr, nullptr)));
    out.emplace_back(drawn::trueFalse[2], bmpBytes(trueFalse(nullptr, nullptr, nullptr, nullptr, &falseRed)));
    out.emplace_back(drawn::trueFalse[3], bmpBytes(trueFalse(&trueGreen, nullptr, nullptr, nullptr, nullptr)));
    out.emplace_back(drawn::trueFalse[4], bmpBytes(trueFalse(nullptr, &falseRed, nullptr, nullptr, nullptr)));
    out.emplace_back(drawn::trueFalse[5], bmpBytes(trueFalse(&trueGreen, nullptr, nullptr, nullptr, &falseRed)));
    out.emplace_back(drawn::trueFalse[6], bmpBytes(trueFalse(nullptr, &falseRed, nullptr, &trueGreen, nullptr)));
    out.emplace_back(drawn::tick, bmpBytes(mark(true)));
    out.emplace_back(drawn::cross, bmpBytes(mark(false)));
    out.emplace_back(drawn::start, bmpBytes(startPicture()));
    return out;
}

} // namespace zx::import
