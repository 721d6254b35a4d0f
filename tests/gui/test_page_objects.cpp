// Texts, shapes, layers, feedback ids, colours and the attention frame, on
// a plain offscreen page widget.
#include "objects/attention_frame.h"
#include "objects/qt_text.h"
#include "objects/shape_control.h"
#include "objects/zx_object.h"
#include "objects/zx_picture.h"
#include "objects/zx_shape.h"
#include "objects/zx_text.h"
#include "test_page_objects_fixture.h"

#include <QGuiApplication>
#include <QLabel>

namespace zx::testing {
namespace {

QColor labelColour(const QLabel& label) { return label.palette().color(QPalette::WindowText); }
QColor windowText() { return QGuiApplication::palette().color(QPalette::Text); }

using PageTextTest = PageObjectsTest;

TEST_F(PageTextTest, DefaultsAndEveryKey)
{
    zxText plain(m_page.get(), "<feedback>0</feedback><zxString>Hi</zxString>", context());
    EXPECT_EQ(plain.label(), nullptr) << "no control before the first show";
    plain.showFor(6, m_page.get(), "0");
    ASSERT_NE(plain.label(), nullptr);
    EXPECT_EQ(plain.label()->geometry(), QRect(0, 0, 100, 100));
    EXPECT_EQ(plain.label()->font().pixelSize(), 16) << "12 points at 96 dpi";
    EXPECT_EQ(plain.label()->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(plain.label()->textFormat(), Qt::PlainText);
    EXPECT_EQ(labelColour(*plain.label()), windowText());

    zxText text(m_page.get(),
                "<feedback>0</feedback><TextLayer>2</TextLayer><textLeft>15</textLeft><textTop>25</textTop>"
                "<textWidth>200</textWidth><textHeight>50</textHeight><zxFontName>DejaVu Serif</zxFontName>"
                "<zxFontSize>24</zxFontSize><zxFontColour>clRed</zxFontColour><zxBold>1</zxBold>"
                "<zxItalic>1</zxItalic><zxUnderline>1</zxUnderline><zxAlignment>1</zxAlignment>"
                "<zxString>Fish & <b>chips</b> \x80 5</zxString>",
                context());
    EXPECT_EQ(text.layer(), 2);
    text.showFor(2, m_page.get(), "0");
    QLabel* label = text.label();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry(), QRect(15, 25, 200, 50));
    EXPECT_EQ(label->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(label->font().pixelSize(), 32);
    EXPECT_TRUE(label->font().bold());
    EXPECT_TRUE(label->font().italic());
    EXPECT_TRUE(label->font().underline());
    EXPECT_EQ(label->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    EXPECT_EQ(labelColour(*label), QColor(255, 0, 0));
    // "&" and "<" are shown as they stand, bytes are Windows-1252.
    EXPECT_EQ(label->text(), QString::fromUtf8("Fish & <b>chips</b> \u20AC 5"));
    // The exact UTF-8 text of an imported page wins over the Windows-1252 one.
    text.setRecord("<feedback>0</feedback><zxString>x ? y</zxString><zxStringUtf8><zxLine>x \xCE\xA3 y</zxLine>\r\n"
                   "z</zxStringUtf8>");
    text.showLayer(-1);
    EXPECT_EQ(label->text(), QString::fromUtf8("x \u03A3 y\nz"));

    // Styles are switched off again when the record changes.
    text.setRecord("<feedback>0</feedback><zxBold>0</zxBold><zxAlignment>-1</zxAlignment>"
                   "<zxFontColour>$00FF00</zxFontColour>");
    text.showLayer(-1);
    EXPECT_FALSE(label->font().bold());
    EXPECT_EQ(label->alignment(), Qt::AlignRight | Qt::AlignTop);
    EXPECT_EQ(labelColour(*label), QColor(0, 255, 0));
    text.setRecord("<feedback>0</feedback><zxAlignment>2</zxAlignment>");
    text.showLayer(-1);
    EXPECT_EQ(label->alignment(), Qt::AlignRight | Qt::AlignTop);
}

TEST_F(PageTextTest, ColourFallbacks)
{
    zxText residue(m_page.get(), "<feedback>0</feedback><zxFontColour>x<newColour=255>y</zxFontColour>", context());
    residue.showLayer(-1);
    EXPECT_EQ(labelColour(*residue.label()), windowText());

    // A colour that is no colour: the text still shows, in the default colour.
    zxText bad(m_page.get(), "<feedback>0</feedback><zxFontColour>redish</zxFontColour><zxString>t</zxString>",
               context());
    bad.showLayer(-1);
    ASSERT_NE(bad.label(), nullptr);
    EXPECT_EQ(labelColour(*bad.label()), windowText());
    EXPECT_EQ(bad.label()->text(), QStringLiteral("t"));

    zxText system(m_page.get(), "<feedback>0</feedback><zxFontColour>clHighlight</zxFontColour>", context());
    system.showLayer(-1);
    EXPECT_EQ(labelColour(*system.label()), QGuiApplication::palette().color(QPalette::Highlight));
}

TEST_F(PageTextTest, SubtitlesFollowTheOption)
{
    zxText subtitle(m_page.get(), "<feedback>0</feedback><TextIsSubtitle>1</TextIsSubtitle>", context());
    zxText other(m_page.get(), "<feedback>0</feedback><TextIsSubtitle>2</TextIsSubtitle>", context());
    subtitle.showFor(6, m_page.get(), "0");
    other.showFor(6, m_page.get(), "0");
    EXPECT_EQ(subtitle.label(), nullptr);
    EXPECT_NE(other.label(), nullptr) << "only 1 marks a subtitle";

    m_subtitles = true;
    subtitle.showLayer(-1);
    EXPECT_NE(subtitle.label(), nullptr);
    m_subtitles = false;
    subtitle.showLayer(-1);
    EXPECT_EQ(subtitle.label(), nullptr);
    EXPECT_EQ(m_page->findChildren<QLabel*>().size(), 1);
}

TEST_F(PageTextTest, ShowingTwiceAndReleasing)
{
    zxText text(m_page.get(), "<feedback>0</feedback><zxString>x</zxString><textLeft>7</textLeft>", context());
    text.showLayer(6);
    QLabel* first = text.label();
    text.showLayer(6);
    EXPECT_EQ(text.label(), first) << "the label is reused";
    EXPECT_EQ(m_page->findChildren<QLabel*>().size(), 1);
    EXPECT_EQ(first->x(), 7);
    text.releaseControls();
    EXPECT_EQ(text.label(), nullptr);
    EXPECT_TRUE(m_page->findChildren<QLabel*>().isEmpty());
    text.showLayer(6);
    EXPECT_NE(text.label(), nullptr) << "a released object may be shown again";
}

using PageLayerTest = PageObjectsTest;

TEST_F(PageLayerTest, FeedbackIdsMustMatchExactly)
{
    QWidget panel(m_page.get());
    panel.setGeometry(100, 100, 200, 200);
    zxText page(m_page.get(), "<feedback>0</feedback>", context());
    zxText inPanel(m_page.get(), "<feedback>3</feedback><textLeft>5</textLeft><textTop>6</textTop>", context());
    zxText none(m_page.get(), "<zxString>no id</zxString>", context());
    zxShape caseShape(m_page.get(), "<feedback>a</feedback>", context());
    zxShape layer4(m_page.get(), "<feedback>0</feedback><ShapeLayer>4</ShapeLayer>", context());
    for (int layer : {9, 5, 3, 0})
        layer4.showLayer(layer);
    EXPECT_EQ(layer4.shape(), nullptr) << "only its own layer";
    layer4.showLayer(-1);
    EXPECT_NE(layer4.shape(), nullptr) << "or any with a negative one";

    for (int layer = 9; layer >= 0; --layer) {
        page.showFor(layer, m_page.get(), "0");
        inPanel.showFor(layer, m_page.get(), "0");
        none.showFor(layer, m_page.get(), "0");
        caseShape.showFor(layer, m_page.get(), "A");
    }
    EXPECT_NE(page.label(), nullptr);
    EXPECT_EQ(inPanel.label(), nullptr);
    EXPECT_EQ(none.label(), nullptr);
    EXPECT_EQ(caseShape.shape(), nullptr);

    none.showFor(6, &panel, "");
    EXPECT_EQ(none.label(), nullptr) << "a record without feedback id is never shown";
    inPanel.showFor(6, &panel, "3");
    ASSERT_NE(inPanel.label(), nullptr);
    EXPECT_EQ(inPanel.label()->parentWidget(), &panel);
    EXPECT_EQ(inPanel.label()->pos(), QPoint(5, 6)) << "relative to the panel";
    EXPECT_EQ(inPanel.parentWindow(), &panel);
}

TEST_F(PageLayerTest, LaterShownLiesAboveAndShapesKeepTheirPlace)
{
    // As the page builder shows them: layers 9 to 0; pictures, shapes, texts.
    zxPicture picture0(m_page.get(), "<feedback>0</feedback><PictureLayer>0</PictureLayer><picFilePathAbs>p.bmp</picFilePathAbs>",
                       context());
    save(filled(4, 4, Qt::red), "p.bmp");
    zxShape shape9(m_page.get(), "<feedback>0</feedback><ShapeLayer>9</ShapeLayer>", context());
    zxShape shape0(m_page.get(), "<feedback>0</feedback><ShapeLayer>0</ShapeLayer>", context());
    zxText text9(m_page.get(), "<feedback>0</feedback><TextLayer>9</TextLayer>", context());
    zxText text0(m_page.get(), "<feedback>0</feedback><TextLayer>0</TextLayer>", context());
    for (int layer = 9; layer >= 0; --layer) {
        picture0.showFor(layer, m_page.get(), "0");
        shape9.showFor(layer, m_page.get(), "0");
        shape0.showFor(layer, m_page.get(), "0");
        text9.showFor(layer, m_page.get(), "0");
        text0.showFor(layer, m_page.get(), "0");
    }
    auto order = [&] {
        std::vector<QObject*> widgets;
        for (QObject* child : m_page->children())
            if (child->isWidgetType())
                widgets.push_back(child);
        return widgets;
    };
    const std::vector<QObject*> expected{shape9.shape(), text9.label(), picture0.normalImage(), shape0.shape(),
                                         text0.label()};
    EXPECT_EQ(order(), expected);

    // A refresh raises texts and pictures again; shapes stay where they are.
    shape9.showLayer(-1);
    text9.showLayer(-1);
    const std::vector<QObject*> refreshed{shape9.shape(), picture0.normalImage(), shape0.shape(), text0.label(),
                                          text9.label()};
    EXPECT_EQ(order(), refreshed);
}

using PageShapeTest = PageObjectsTest;

TEST_F(PageShapeTest, DefaultsAndMappings)
{
    zxShape plain(m_page.get(), "<feedback>0</feedback>", context());
    plain.showLayer(6);
    ShapeControl* control = plain.shape();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), QRect(0, 0, 20, 20));
    EXPECT_EQ(control->shapeKind(), ShapeKind::Rectangle);
    EXPECT_EQ(control->pen().style(), Qt::NoPen);
    EXPECT_EQ(control->brush().style(), Qt::BDiagPattern) << "a missing ShapeStyle is the backward hatch";
    EXPECT_EQ(control->brush().color(), QColor(Qt::white));

    // The values that are easy to get wrong: an explicit 0 and values
    // above 6 fill solid; a clear brush ignores the style; a pen width of 0
    // ignores the pen style.
    const std::pair<const char*, std::pair<Qt::PenStyle, Qt::BrushStyle>> cases[] = {
        {"<ShapeStyle>0</ShapeStyle>", {Qt::NoPen, Qt::SolidPattern}},
        {"<ShapeStyle>7</ShapeStyle><ShapePenWidth>2</ShapePenWidth><ShapePenStyle>4</ShapePenStyle>",
         {Qt::DashDotDotLine, Qt::SolidPattern}},
        {"<ShapeStyle>3</ShapeStyle><ShapeTransparent>1</ShapeTransparent><ShapePenWidth>1</ShapePenWidth>"
         "<ShapePenStyle>9</ShapePenStyle>",
         {Qt::SolidLine, Qt::NoBrush}},
        {"<ShapePenStyle>2</ShapePenStyle><ShapeStyle>4</ShapeStyle>", {Qt::NoPen, Qt::DiagCrossPattern}},
    };
    for (const auto& [record, styles] : cases) {
        zxShape shape(m_page.get(), std::string("<feedback>0</feedback>") + record, context());
        shape.showLayer(-1);
        EXPECT_EQ(shape.shape()->pen().style(), styles.first) << record;
        EXPECT_EQ(shape.shape()->brush().style(), styles.second) << record;
        shape.releaseControls();
    }
}

TEST_F(PageShapeTest, DrawnPixels)
{
    zxShape rectangle(m_page.get(),
                      "<feedback>0</feedback><ShapeLeft>10</ShapeLeft><ShapeTop>10</ShapeTop><ShapeWidth>40</ShapeWidth>"
                      "<ShapeHeight>30</ShapeHeight><ShapeColor>clRed</ShapeColor><ShapeStyle>0</ShapeStyle>"
                      "<ShapePenWidth>3</ShapePenWidth><ShapePenColour>clBlue</ShapePenColour>",
                      context());
    zxShape ellipse(m_page.get(),
                    "<feedback>0</feedback><ShapeShape>2</ShapeShape><ShapeLeft>100</ShapeLeft><ShapeTop>10</ShapeTop>"
                    "<ShapeWidth>40</ShapeWidth><ShapeHeight>40</ShapeHeight><ShapeColor>$00FF00</ShapeColor>"
                    "<ShapeStyle>0</ShapeStyle>",
                    context());
    zxShape rounded(m_page.get(),
                    "<feedback>0</feedback><ShapeShape>1</ShapeShape><ShapeLeft>200</ShapeLeft><ShapeTop>10</ShapeTop>"
                    "<ShapeWidth>40</ShapeWidth><ShapeHeight>40</ShapeHeight><ShapeColor>clBlack</ShapeColor>"
                    "<ShapeStyle>0</ShapeStyle>",
                    context());
    zxShape invisible(m_page.get(),
                      "<feedback>0</feedback><ShapeLeft>300</ShapeLeft><ShapeTop>10</ShapeTop><ShapeWidth>40</ShapeWidth>"
                      "<ShapeHeight>40</ShapeHeight><ShapeColor>clRed</ShapeColor><ShapeTransparent>1</ShapeTransparent>",
                      context());
    zxShape badColours(m_page.get(),
                       "<feedback>0</feedback><ShapeLeft>400</ShapeLeft><ShapeTop>10</ShapeTop><ShapeWidth>40</ShapeWidth>"
                       "<ShapeHeight>40</ShapeHeight><ShapeColor>clPink</ShapeColor><ShapeStyle>0</ShapeStyle>"
                       "<ShapePenWidth>2</ShapePenWidth><ShapePenColour>nope</ShapePenColour>",
                       context());
    for (zxShape* shape : {&rectangle, &ellipse, &rounded, &invisible, &badColours})
        shape->showLayer(-1);
    const QImage page = grabPage();

    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);
    // Pen of 3 inside the bounds, brush within.
    EXPECT_EQ(page.pixel(10, 25), blue);
    EXPECT_EQ(page.pixel(12, 25), blue);
    EXPECT_EQ(page.pixel(13, 25), red);
    EXPECT_EQ(page.pixel(49, 39), blue);
    EXPECT_EQ(page.pixel(50, 40), white) << "nothing outside the bounds";
    EXPECT_EQ(page.pixel(30, 25), red);
    // The ellipse leaves its corners clear, the rounded rectangle too, the
    // rectangle does not.
    EXPECT_EQ(page.pixel(120, 30), qRgb(0, 255, 0));
    EXPECT_EQ(page.pixel(101, 11), white);
    EXPECT_EQ(page.pixel(220, 30), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(200, 10), white);
    EXPECT_EQ(page.pixel(204, 30), qRgb(0, 0, 0));
    // No pen and a clear brush draw nothing.
    for (int y = 10; y < 50; ++y)
        for (int x = 300; x < 340; ++x)
            ASSERT_EQ(page.pixel(x, y), white) << x << "," << y;
    // Colours that are no colours: white brush, black pen, still drawn.
    EXPECT_EQ(page.pixel(400, 30), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(420, 30), white);
    EXPECT_NE(badColours.shape(), nullptr);
}

TEST_F(PageShapeTest, HatchesRunTheRightWayAndLeaveGaps)
{
    auto hatchPixels = [&](const char* style) {
        zxShape shape(m_page.get(),
                      std::string("<feedback>0</feedback><ShapeWidth>32</ShapeWidth><ShapeHeight>32</ShapeHeight>"
                                  "<ShapeColor>clNavy</ShapeColor>")
                          + style,
                      context());
        shape.showLayer(-1);
        const QImage image = shape.shape()->grab().toImage();
        shape.releaseControls();
        std::vector<QPoint> points;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (image.pixel(x, y) == qRgb(0, 0, 128))
                    points.push_back({x, y});
        return points;
    };
    // Missing ShapeStyle: backward diagonals "/", constant x + y modulo 8.
    const auto backward = hatchPixels("");
    ASSERT_FALSE(backward.empty());
    EXPECT_LT(backward.size(), 32u * 32u / 2);
    for (const QPoint& p : backward)
        EXPECT_EQ((p.x() + p.y()) % 8, (backward[0].x() + backward[0].y()) % 8);
    // Forward diagonals "\": constant x - y modulo 8.
    const auto forward = hatchPixels("<ShapeStyle>2</ShapeStyle>");
    ASSERT_FALSE(forward.empty());
    for (const QPoint& p : forward)
        EXPECT_EQ((p.x() - p.y() + 64) % 8, (forward[0].x() - forward[0].y() + 64) % 8);
    const auto horizontal = hatchPixels("<ShapeStyle>5</ShapeStyle>");
    ASSERT_FALSE(horizontal.empty());
    for (const QPoint& p : horizontal)
        EXPECT_EQ(p.y() % 8, horizontal[0].y() % 8);
}

using PageColourTest = PageObjectsTest;

TEST_F(PageColourTest, RecordColoursToQColor)
{
    const QPalette palette = QGuiApplication::palette();
    const QColor fallback(1, 2, 3);
    auto colour = [&](const char* text) { return colourFromRecordText(text, palette, fallback); };
    EXPECT_EQ(colour("clRed"), QColor(255, 0, 0));
    EXPECT_EQ(colour("$00FF8000"), QColor(0, 0x80, 0xFF)) << "0x00BBGGRR";
    EXPECT_EQ(colour("255"), QColor(255, 0, 0));
    EXPECT_EQ(colour("clBackground"), QColor(0x3A, 0x6E, 0xA5));
    EXPECT_EQ(colour("clWindow"), palette.color(QPalette::Base));
    EXPECT_EQ(colour("clNone")->alpha(), 0);
    EXPECT_EQ(colour("clDefault"), fallback);
    EXPECT_FALSE(colour(""));
    EXPECT_FALSE(colour("blue"));
}

TEST_F(PageColourTest, Cp1252RoundTrip)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const QString text = cp1252ToQString(all);
    EXPECT_EQ(text.size(), 255);
    EXPECT_EQ(text.at(0x80 - 1), QChar(0x20AC));
    EXPECT_EQ(qStringToCp1252(text), all);
    EXPECT_EQ(qStringToCp1252(QString::fromUtf8("a\u4E2Db\U0001F600c")), "a?b?c");
}

using AttentionFrameTest = PageObjectsTest;

TEST_F(AttentionFrameTest, ClosesInBlinksAndGoes)
{
    std::vector<QRect> frames;
    std::vector<int> pens;
    std::vector<int> waits;
    auto wait = [&](int ms) {
        waits.push_back(ms);
        const auto shapes = m_page->findChildren<ShapeControl*>();
        ASSERT_EQ(shapes.size(), 1);
        frames.push_back(shapes[0]->geometry());
        pens.push_back(shapes[0]->pen().width());
        EXPECT_EQ(shapes[0]->pen().color(), QColor(255, 0, 0));
        EXPECT_EQ(shapes[0]->brush().style(), Qt::NoBrush);
    };
    attentionFrame(100, 50, m_page.get(), 40, 80, wait);
    ASSERT_EQ(waits.size(), 36u);
    int total = 0;
    for (int ms : waits)
        total += ms;
    EXPECT_EQ(total, 540);
    EXPECT_EQ(frames.front(), QRect(70, 20, 140, 100)) << "30 pixels outside";
    EXPECT_EQ(frames[29], QRect(99, 49, 82, 42)) << "ends 1 pixel outside";
    EXPECT_EQ(std::vector<int>(pens.begin() + 29, pens.end()), (std::vector<int>{2, 4, 1, 4, 1, 4, 1}));
    EXPECT_TRUE(m_page->findChildren<ShapeControl*>().isEmpty());

    // The service object uses the context's wait.
    zxObject service(m_page.get(), "", context());
    service.attentionFrame(0, 0, m_page.get(), 10, 10);
    EXPECT_EQ(m_waits.size(), 36u);
}

} // namespace
} // namespace zx::testing
