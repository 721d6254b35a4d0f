// Picture files, picture objects and the background, on a plain offscreen
// page widget with files in a temporary folder.
#include "objects/image_control.h"
#include "objects/picture_loader.h"
#include "objects/zx_background.h"
#include "objects/zx_picture.h"
#include "tagtext/tagged_text.h"
#include "test_page_objects_fixture.h"
#include "tests/fuzz/picture_entry.h"

#include <QBuffer>
#include <QPainter>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zx::testing {
namespace {

// A 1 x 1 GIF whose only pixel is transparent.
const QByteArray transparentGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

using PictureFileTest = PageObjectsTest;

TEST_F(PictureFileTest, FormatsByExtensionWhateverTheCase)
{
    const QImage source = filled(12, 7, QColor(200, 40, 40));
    QImage image;
    EXPECT_EQ(readPictureFile(save(source, "a.bmp"), image), PictureReadResult::Loaded);
    EXPECT_EQ(image.size(), QSize(12, 7));
    EXPECT_EQ(image.pixel(3, 3), source.pixel(3, 3));

    EXPECT_EQ(readPictureFile(save(source, "b.JPG", "JPG"), image), PictureReadResult::Loaded);
    EXPECT_EQ(image.size(), QSize(12, 7));
    EXPECT_TRUE(near(image.pixel(5, 3), source.pixel(5, 3)));
    EXPECT_EQ(readPictureFile(save(source, "c.jpeg", "JPG"), image), PictureReadResult::Loaded);

    QImage grey(9, 9, QImage::Format_Grayscale8);
    grey.fill(90);
    EXPECT_EQ(readPictureFile(save(grey, "g.jpg", "JPG"), image), PictureReadResult::Loaded);
    EXPECT_TRUE(near(image.pixel(4, 4), qRgb(90, 90, 90)));

    EXPECT_EQ(readPictureFile(write("t.gif", transparentGif), image), PictureReadResult::Loaded);
    EXPECT_EQ(image.size(), QSize(1, 1));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "a GIF keeps its transparency";

    EXPECT_EQ(readPictureFile(save(source, "p.png", "PNG"), image), PictureReadResult::NotLoaded);
    EXPECT_TRUE(image.isNull());
    EXPECT_EQ(readPictureFile(path("missing.bmp"), image), PictureReadResult::NotLoaded);
    EXPECT_EQ(readPictureFile(m_dir.path().toStdString(), image), PictureReadResult::NotLoaded) << "a folder";
}

TEST_F(PictureFileTest, BadDataNeverCrashes)
{
    QImage image;
    // Header checks: a ".bmp" must begin "BM", a ".jpg" FF D8 FF E0.
    EXPECT_EQ(readPictureFile(write("x.bmp", "XM123456789"), image), PictureReadResult::NotLoaded);
    EXPECT_EQ(readPictureFile(write("x.jpg", "\xFF\xD8\xFF\xE1garbage"), image), PictureReadResult::NotLoaded);

    // Right headers, wrong insides.
    EXPECT_EQ(readPictureFile(write("y.bmp", "BM this is no bitmap at all"), image), PictureReadResult::Undecodable);
    EXPECT_EQ(readPictureFile(write("y.jpg", QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(300, 'z')), image),
              PictureReadResult::Undecodable);
    EXPECT_EQ(readPictureFile(write("z.jpg", QByteArray("\xFF\xD8\xFF\xE0", 4)), image),
              PictureReadResult::Undecodable);
    EXPECT_EQ(readPictureFile(write("y.gif", "GIF89a\x01"), image), PictureReadResult::Undecodable);
    EXPECT_TRUE(image.isNull());

    // A JPEG cut short shows what could be decoded.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(gradient(64, 64).save(&buffer, "JPG"));
    readPictureFile(write("cut.jpg", jpeg.left(jpeg.size() / 2)), image);
    readPictureFile(write("cut2.jpg", jpeg.left(30)), image);

    // A JPEG that claims to be 60000 x 60000 pixels is refused before any
    // memory is taken for it.
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    QByteArray huge = jpeg;
    huge[sof + 5] = char(0xEA);
    huge[sof + 6] = char(0x60);
    huge[sof + 7] = char(0xEA);
    huge[sof + 8] = char(0x60);
    EXPECT_EQ(readPictureFile(write("huge.jpg", huge), image), PictureReadResult::Undecodable);
    EXPECT_FALSE(decodeJpeg(nullptr, 0, image));
}

TEST_F(PictureFileTest, AFileLargerThanAnyPictureIsNotRead)
{
    // 20 GB that take no room on the disk: reading them would take 20 GB
    // of memory.
    const std::string huge = write("huge.bmp", "BM");
    std::error_code error;
    std::filesystem::resize_file(huge, 20ull << 30, error);
    if (error)
        GTEST_SKIP() << "no sparse files here: " << error.message();
    QImage image;
    EXPECT_EQ(readPictureFile(huge, image), PictureReadResult::Undecodable);
    EXPECT_TRUE(image.isNull());
    std::filesystem::resize_file(huge, maxPictureBytes + 1, error);
    EXPECT_EQ(readPictureFile(huge, image), PictureReadResult::Undecodable);
}

TEST_F(PictureFileTest, TheFuzzSeedsPassThePictureEntry)
{
    const std::filesystem::path seeds = std::filesystem::path(ZX_SOURCE_DIR) / "tests/fuzz/seeds-qt/picture";
    int inputs = 0;
    for (const auto& file : std::filesystem::directory_iterator(seeds)) {
        std::ifstream in(file.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(fuzz::picture(bytes), "") << file.path();
        ++inputs;
    }
    EXPECT_GE(inputs, 4);
    QImage image;
    EXPECT_EQ(readPictureFile((seeds / "small.jpg").string(), image), PictureReadResult::Loaded);
}

TEST_F(PictureFileTest, LoadingIntoAControl)
{
    ImageControl control(m_page.get());
    control.setGeometry(5, 6, 7, 8);
    loadPictureFile(control, save(filled(30, 20, Qt::blue), "blue.jpg", "JPG"));
    EXPECT_EQ(control.naturalSize(), QSize(30, 20));
    EXPECT_EQ(control.geometry(), QRect(5, 6, 7, 8)) << "bounds untouched";
    loadPictureFile(control, save(filled(3, 3, Qt::blue), "other.png", "PNG"));
    EXPECT_EQ(control.naturalSize(), QSize(30, 20)) << "another extension changes nothing";
    loadPictureFile(control, write("broken.jpg", QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(50, '\0')));
    EXPECT_FALSE(control.hasPicture()) << "undecodable data leave the control empty";
}

TEST_F(PictureFileTest, TransparentDrawingLeavesOutTheBottomLeftColour)
{
    QImage image = filled(10, 10, Qt::green);
    image.setPixel(0, 9, qRgb(255, 0, 255));
    image.setPixel(5, 5, qRgb(255, 0, 255));
    ImageControl control(m_page.get());
    control.setGeometry(0, 0, 10, 10);
    control.setPicture(image);
    control.setTransparent(true);
    const QImage shown = grabPage();
    EXPECT_EQ(shown.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(1, 1), qRgb(0, 255, 0));
}

using PagePictureTest = PageObjectsTest;

std::string pictureRecord(const std::string& extra)
{
    return "<feedback>0</feedback><picFilePathAbs>n.bmp</picFilePathAbs><PictureLeft>10</PictureLeft>"
           "<PictureTop>20</PictureTop>"
           + extra;
}

TEST_F(PagePictureTest, SizingModes)
{
    save(gradient(30, 20), "n.bmp");
    // 0: the record's size, the picture at the top-left, clipped.
    zxPicture natural(m_page.get(), pictureRecord("<PictureWidth>10</PictureWidth><PictureHeight>10</PictureHeight>"),
                      context());
    natural.showFor(6, m_page.get(), "0");
    ASSERT_NE(natural.normalImage(), nullptr);
    EXPECT_EQ(natural.normalImage()->geometry(), QRect(10, 20, 10, 10));
    QImage page = grabPage();
    EXPECT_EQ(page.pixel(10, 20), gradient(30, 20).pixel(0, 0));
    EXPECT_EQ(page.pixel(19, 29), gradient(30, 20).pixel(9, 9));
    EXPECT_EQ(page.pixel(20, 30), qRgb(255, 255, 255));
    natural.releaseControls();

    // Missing sizes are 20 x 20.
    zxPicture defaults(m_page.get(), pictureRecord(""), context());
    defaults.showLayer(-1);
    EXPECT_EQ(defaults.normalImage()->size(), QSize(20, 20));
    defaults.releaseControls();

    // 2: stretched over the bounds.
    save(gradient(10, 10), "small.bmp");
    zxPicture stretched(m_page.get(),
                        "<feedback>0</feedback><picFilePathAbs>small.bmp</picFilePathAbs><picPosition>2</picPosition>"
                        "<PictureWidth>40</PictureWidth><PictureHeight>40</PictureHeight>",
                        context());
    stretched.showLayer(-1);
    page = grabPage();
    EXPECT_EQ(page.pixel(39, 39), gradient(10, 10).pixel(9, 9));
    EXPECT_EQ(page.pixel(0, 0), gradient(10, 10).pixel(0, 0));
    stretched.releaseControls();

    // Any other value: centred, natural size.
    zxPicture centred(m_page.get(),
                      "<feedback>0</feedback><picFilePathAbs>small.bmp</picFilePathAbs><picPosition>7</picPosition>"
                      "<PictureWidth>30</PictureWidth><PictureHeight>30</PictureHeight>",
                      context());
    centred.showLayer(-1);
    page = grabPage();
    EXPECT_EQ(page.pixel(10, 10), gradient(10, 10).pixel(0, 0));
    EXPECT_EQ(page.pixel(19, 19), gradient(10, 10).pixel(9, 9));
    EXPECT_EQ(page.pixel(5, 5), qRgb(255, 255, 255)) << "the rest of the bounds shows what lies below";
}

TEST_F(PagePictureTest, NaturalSizeModeWritesTheSizeBack)
{
    save(gradient(30, 20), "n.bmp");
    zxPicture picture(m_page.get(),
                      pictureRecord("<picPosition>1</picPosition><PictureWidth>5</PictureWidth>"
                                    "<PictureHeight>5</PictureHeight>"),
                      context());
    picture.showFor(6, m_page.get(), "0");
    EXPECT_EQ(picture.normalImage()->geometry(), QRect(10, 20, 30, 20));
    EXPECT_EQ(getTagInt(picture.record(), "PictureWidth", 0), 30);
    EXPECT_EQ(getTagInt(picture.record(), "PictureHeight", 0), 20);

    // Later shows use the written size.
    picture.setRecord(setTag(picture.record(), "picPosition", "0"));
    picture.showLayer(-1);
    EXPECT_EQ(picture.normalImage()->size(), QSize(30, 20));

    // An empty picture keeps the record's size.
    write("empty.bmp", "BM but nothing more");
    zxPicture empty(m_page.get(),
                    "<feedback>0</feedback><picFilePathAbs>empty.bmp</picFilePathAbs><picPosition>1</picPosition>"
                    "<PictureWidth>44</PictureWidth><PictureHeight>33</PictureHeight>",
                    context());
    empty.showLayer(-1);
    ASSERT_NE(empty.normalImage(), nullptr) << "the file exists, so the control does";
    EXPECT_FALSE(empty.normalImage()->hasPicture());
    EXPECT_EQ(empty.normalImage()->size(), QSize(44, 33));
    EXPECT_EQ(getTagInt(empty.record(), "PictureWidth", 0), 44);
}

TEST_F(PagePictureTest, WhichImagesExist)
{
    save(filled(5, 5, Qt::red), "over.bmp");
    write("rejected.bmp", "not a bitmap");
    zxPicture onlyOver(m_page.get(),
                       "<feedback>0</feedback><picFilePathAbs>none.bmp</picFilePathAbs>"
                       "<picOverFilePathAbs>over.bmp</picOverFilePathAbs>",
                       context());
    onlyOver.showLayer(-1);
    EXPECT_EQ(onlyOver.normalImage(), nullptr);
    ASSERT_NE(onlyOver.overImage(), nullptr);
    EXPECT_TRUE(onlyOver.overImage()->isHidden()) << "nothing shows";

    // A rejected file gives an empty control; a sound that fails its header
    // check or is missing gives no sound.
    write("bad.wav", "WAVE file without RIFF");
    zxPicture rejected(m_page.get(),
                       "<feedback>0</feedback><picFilePathAbs>rejected.bmp</picFilePathAbs>"
                       "<picAudioAbs>bad.wav</picAudioAbs>",
                       context());
    rejected.showLayer(-1);
    ASSERT_NE(rejected.normalImage(), nullptr);
    EXPECT_FALSE(rejected.normalImage()->hasPicture());
    EXPECT_EQ(rejected.audioPath(), "0");
    rejected.setRecord(setTag(rejected.record(), "picAudioAbs", "gone.wav"));
    rejected.showLayer(-1);
    rejected.pictureClick();
    EXPECT_TRUE(m_played.empty());

    // The path of the record goes through the resolver given to showFor.
    zxPicture resolved(m_page.get(), "<feedback>0</feedback><picFilePathAbs>any name</picFilePathAbs>", context());
    const std::string target = path("over.bmp");
    resolved.showFor(6, m_page.get(), "0", [&](const std::string& name) {
        EXPECT_TRUE(name == "any name" || name.empty());
        return name == "any name" ? target : std::string();
    });
    ASSERT_NE(resolved.normalImage(), nullptr);
    EXPECT_EQ(resolved.normalImage()->naturalSize(), QSize(5, 5));
}

TEST_F(PagePictureTest, OverAndDownImagesFollowThePointer)
{
    save(filled(20, 20, Qt::red), "n.bmp");
    save(filled(20, 20, Qt::green), "o.bmp");
    save(filled(20, 20, Qt::blue), "d.bmp");
    write("click.wav", "RIFF....WAVEfmt ");
    zxPicture picture(m_page.get(),
                      pictureRecord("<picOverFilePathAbs>o.bmp</picOverFilePathAbs>"
                                    "<picDownFilePathAbs>d.bmp</picDownFilePathAbs><picAudioAbs>click.wav</picAudioAbs>"),
                      context());
    showPage();
    picture.showFor(6, m_page.get(), "0");
    ImageControl* normal = picture.normalImage();
    ImageControl* over = picture.overImage();
    ImageControl* down = picture.downImage();
    ASSERT_TRUE(normal && over && down);
    EXPECT_TRUE(normal->isVisible());
    EXPECT_FALSE(over->isVisible());
    EXPECT_FALSE(down->isVisible());
    EXPECT_EQ(over->geometry(), normal->geometry());
    EXPECT_EQ(picture.audioPath(), path("click.wav"));

    QTest::mouseMove(m_page.get(), QPoint(15, 25));
    EXPECT_TRUE(over->isVisible());
    EXPECT_EQ(grabPage().pixel(15, 25), qRgb(0, 255, 0));

    QWidget* pressed = pressAt(QPoint(15, 25));
    EXPECT_EQ(pressed, over);
    EXPECT_TRUE(down->isVisible());
    EXPECT_EQ(grabPage().pixel(15, 25), qRgb(0, 0, 255));
    releaseOn(pressed, QPoint(15, 25));
    EXPECT_FALSE(down->isVisible());
    EXPECT_TRUE(over->isVisible());
    EXPECT_EQ(m_played, std::vector<std::string>{path("click.wav")});
    EXPECT_EQ(m_startRequests, 0);

    picture.hideOverImage();
    EXPECT_FALSE(over->isVisible());
    EXPECT_EQ(grabPage().pixel(15, 25), qRgb(255, 0, 0));

    // The next show hides the over image as well.
    over->show();
    picture.showLayer(-1);
    EXPECT_FALSE(over->isVisible());
    EXPECT_EQ(picture.overImage(), over) << "images are reused";

    picture.releaseControls();
    EXPECT_EQ(picture.normalImage(), nullptr);
    EXPECT_EQ(picture.overImage(), nullptr);
    EXPECT_TRUE(m_page->findChildren<ImageControl*>().isEmpty());
}

TEST_F(PagePictureTest, StartTestPicture)
{
    save(filled(20, 20, Qt::red), "n.bmp");
    showPage();
    auto startPicture = [&](const char* name) {
        return std::make_unique<zxPicture>(
            m_page.get(), pictureRecord(std::string("<PictureName>") + name + "</PictureName>"), context());
    };

    m_state = TestState::Ready;
    auto spaced = startPicture(" Start Test? ");
    spaced->showLayer(-1);
    clickAt(QPoint(15, 25));
    EXPECT_EQ(m_startRequests, 0);
    spaced->releaseControls();

    m_state = TestState::Running;
    auto running = startPicture("StartTest");
    running->showLayer(-1);
    clickAt(QPoint(15, 25));
    EXPECT_EQ(m_startRequests, 0) << "only before the test";
    EXPECT_TRUE(running->normalImage()->isVisible());
    running->releaseControls();

    m_state = TestState::Ready;
    auto start = startPicture("StartTest");
    start->showLayer(-1);
    clickAt(QPoint(15, 25));
    EXPECT_EQ(m_startRequests, 1);
    EXPECT_FALSE(start->normalImage()->isVisible());
    start->releaseControls();

    // Starting may leave the page at once: the picture is released and
    // destroyed inside its own click.
    PageContext leaving = context();
    std::unique_ptr<zxPicture> leaver;
    leaving.requestStart = [&] {
        ++m_startRequests;
        leaver->releaseControls();
        leaver.reset();
    };
    leaver = std::make_unique<zxPicture>(m_page.get(), pictureRecord("<PictureName>starttest</PictureName>"), leaving);
    leaver->showLayer(-1);
    clickAt(QPoint(15, 25));
    EXPECT_EQ(m_startRequests, 2);
    EXPECT_EQ(leaver, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_page->findChildren<ImageControl*>().isEmpty());
}

using PageBackgroundTest = PageObjectsTest;

class PaintedBackground {
public:
    explicit PaintedBackground(const zxBackground& background, QSize size = {632, 434})
        : m_image(size, QImage::Format_RGB32)
    {
        m_image.fill(Qt::white);
        QPainter painter(&m_image);
        background.paint(painter);
    }
    QRgb at(int x, int y) const { return m_image.pixel(x, y); }

private:
    QImage m_image;
};

std::string backgroundRecord(const std::string& file, int position)
{
    return "<bgFilePathAbs>" + file + "</bgFilePathAbs><bgFilePathRel>x</bgFilePathRel><bgPosition>"
           + std::to_string(position) + "</bgPosition>";
}

TEST_F(PageBackgroundTest, FivePositions)
{
    const QImage picture = gradient(10, 8);
    const std::string file = save(picture, "bg.bmp");
    PageContext c = context();
    c.resolveBankFile = [](const std::string&) { return std::string("/nowhere"); };
    zxBackground background(m_page.get(), c);
    EXPECT_EQ(background.record(), zxBackground::defaultRecord);

    struct Case {
        int position;
        QPoint at;
    };
    // Area 100 x 60.
    for (const Case& c : {Case{1, {0, 0}}, Case{2, {90, 0}}, Case{3, {0, 52}}, Case{4, {90, 52}},
                          Case{0, {45, 26}}, Case{9, {45, 26}}}) {
        background.load(backgroundRecord(file, c.position), 60, 100);
        EXPECT_TRUE(background.loaded()) << "the path is used as stored";
        EXPECT_EQ(background.areaHeight(), 60);
        EXPECT_EQ(background.areaWidth(), 100);
        const PaintedBackground painted(background, {100, 87});
        EXPECT_EQ(painted.at(c.at.x(), c.at.y()), picture.pixel(0, 0)) << c.position;
        EXPECT_EQ(painted.at(c.at.x() + 9, c.at.y() + 7), picture.pixel(9, 7)) << c.position;
    }

    // Larger than the area: centred at negative coordinates.
    const QImage big = gradient(30, 30);
    background.load(backgroundRecord(save(big, "big.bmp"), 0), 10, 20);
    const PaintedBackground painted(background, {20, 37});
    EXPECT_EQ(painted.at(0, 0), big.pixel(5, 10));
}

TEST_F(PageBackgroundTest, TheBanksCopyOfThePictureIsUsedFirst)
{
    const QImage picture = gradient(10, 8);
    const std::string file = save(picture, "bg.bmp");
    PageContext c = context();
    c.resolveBankFile = [file](const std::string& name) {
        return name == "C:\\author\\bg.bmp" ? file : std::string("/nowhere");
    };
    zxBackground background(m_page.get(), c);
    background.load(backgroundRecord("C:\\author\\bg.bmp", 1), 60, 100);
    const PaintedBackground painted(background, {100, 87});
    EXPECT_EQ(painted.at(0, 0), picture.pixel(0, 0));
}

TEST_F(PageBackgroundTest, TilingCoversTheAreaToItsClippedEdges)
{
    QImage picture = filled(100, 80, Qt::blue);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    zxBackground background(m_page.get(), context());
    background.load(backgroundRecord(save(picture, "tile.bmp"), 5), 407, 632);
    const PaintedBackground painted(background, {632, 434});
    for (int i = 0; i <= 6; ++i)
        for (int j = 0; j <= 5; ++j)
            EXPECT_EQ(painted.at(i * 100, j * 80), qRgb(255, 0, 0)) << i << "," << j;
    EXPECT_EQ(painted.at(631, 433), qRgb(0, 0, 255)) << "the last row runs into the panel strip";
}

TEST_F(PageBackgroundTest, NothingWithoutAPicture)
{
    const std::string file = save(filled(10, 10, Qt::red), "bg.bmp");
    zxBackground background(m_page.get(), context());
    background.load(backgroundRecord(file, 1), 100, 100);
    EXPECT_EQ(PaintedBackground(background).at(0, 0), qRgb(255, 0, 0));

    background.load(backgroundRecord("0", 1), 100, 100);
    EXPECT_FALSE(background.loaded());
    EXPECT_EQ(PaintedBackground(background).at(0, 0), qRgb(255, 255, 255));

    // A file that cannot be read leaves nothing of the earlier picture.
    background.load(backgroundRecord(file, 1), 100, 100);
    background.load(backgroundRecord(path("gone.bmp"), 1), 100, 100);
    EXPECT_TRUE(background.loaded());
    EXPECT_EQ(PaintedBackground(background).at(0, 0), qRgb(255, 255, 255));

    background.load(backgroundRecord(file, 1), 100, 100);
    background.releaseControls();
    EXPECT_EQ(PaintedBackground(background).at(0, 0), qRgb(255, 255, 255));
}

} // namespace
} // namespace zx::testing
