#include "objects/zx_text.h"

#include "objects/core/text_display.h"
#include "objects/qt_text.h"
#include "tagtext/tagged_text.h"

#include <QGuiApplication>
#include <QLabel>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zx {

namespace {

constexpr int largestPixelSize = 4000;

// Points at 96 dots per inch, whatever the screen's logical DPI.
int fontPixelSize(int points)
{
    if (points == 0)
        points = 12;
    const long long pixels = std::llround(std::llabs(static_cast<long long>(points)) * 96.0 / 72.0);
    return static_cast<int>(std::clamp<long long>(pixels, 1, largestPixelSize));
}

} // namespace

zxText::zxText(QWidget* parentWindow, std::string record, PageContext context)
    : zxObject(parentWindow, std::move(record), std::move(context))
    , m_layer(getTagInt(m_record, "TextLayer", 6))
{
}

zxText::~zxText()
{
    releaseControls();
}

void zxText::showFor(int layer, QWidget* parent, const std::string& feedbackId)
{
    if (takeParentFor(parent, feedbackId))
        showLayer(layer);
}

void zxText::showLayer(int layer)
{
    if (layer != m_layer && layer >= 0)
        return;
    if (getTagInt(m_record, "TextIsSubtitle", 0) == 1 && !m_context.subtitles()) {
        releaseControls();
        return;
    }
    if (!m_parentWindow)
        return;
    if (!m_label) {
        m_label = new QLabel(m_parentWindow.data());
    } else {
        adoptControl(m_label);
    }
    QLabel& label = *m_label;
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
    label.setAutoFillBackground(false);
    label.setAttribute(Qt::WA_TranslucentBackground);
    label.setMargin(0);
    label.setIndent(0);
    label.setContentsMargins(0, 0, 0, 0);

    label.setGeometry(getTagInt(m_record, "textLeft", 0), getTagInt(m_record, "textTop", 0),
                      getTagInt(m_record, "textWidth", 100), getTagInt(m_record, "textHeight", 100));

    QFont font = label.font();
    const std::string family = getTag(m_record, "zxFontName");
    font.setFamily(cp1252ToQString(family));
    font.setPixelSize(fontPixelSize(getTagInt(m_record, "zxFontSize", 12)));
    font.setBold(getTagInt(m_record, "zxBold", 0) == 1);
    font.setItalic(getTagInt(m_record, "zxItalic", 0) == 1);
    font.setUnderline(getTagInt(m_record, "zxUnderline", 0) == 1);
    label.setFont(font);

    // A colour holding "<newColour" is rich-text residue: the text takes
    // the standard window text colour.  A value that is no colour keeps the
    // label's default, the window text colour, and the text still shows.
    std::string colourText = getTag(m_record, "zxFontColour");
    if (colourText.find("<newColour") != std::string::npos)
        colourText = "clWindowText";
    const QPalette appPalette = QGuiApplication::palette();
    const QColor windowText = toQColor(systemColour(SystemColour::WindowText), appPalette, QColor(Qt::black));
    const QColor colour = colourFromRecordText(colourText, appPalette, windowText).value_or(windowText);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    label.setPalette(palette);

    // Imported texts that lost characters in Windows-1252 carry the exact
    // text in UTF-8 as well; other readers keep to zxString.
    const std::string exact = getTag(m_record, "zxStringUtf8");
    label.setText(exact.empty() ? cp1252ToQString(textObjectDisplayText(getTag(m_record, "zxString")))
                                : QString::fromUtf8(textObjectDisplayText(exact)));

    const int alignment = getTagInt(m_record, "zxAlignment", 0);
    const Qt::Alignment horizontal = alignment == 0   ? Qt::AlignLeft
                                     : alignment == 1 ? Qt::AlignHCenter
                                                      : Qt::AlignRight;
    label.setAlignment(horizontal | Qt::AlignTop);

    label.show();
    label.raise();
}

void zxText::releaseControls()
{
    delete m_label.data();
    m_label = nullptr;
}

} // namespace zx
