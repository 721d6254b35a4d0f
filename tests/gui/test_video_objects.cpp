// Video objects with the fake video player: the panel, when a video
// starts, the ".swf" and unplayable-file notes in the page record, and
// releasing.
#include "test_feedback_fixture.h"

#include "objects/qt_text.h"

#include <QFrame>

namespace zx::testing {
namespace {

std::string video(const char* file, const std::string& extra = {})
{
    return std::string("<feedback>0</feedback><videoFilePathAbs>") + file + "</videoFilePathAbs>" + extra;
}

class VideoObjectTest : public FeedbackPageTest {
protected:
    void SetUp() override
    {
        FeedbackPageTest::SetUp();
        m_clip = riffFile("clip.avi");
        m_clipPath = QString::fromStdString(m_clip);
    }
    QStringList calls() const { return m_videoLog->calls; }
    QStringList startCalls() const { return {QStringLiteral("seek"), QStringLiteral("play")}; }

    std::string m_clip;
    QString m_clipPath;
};

TEST_F(VideoObjectTest, PanelInTheDesktopColourHoldsThePlayer)
{
    zxVideo& plain = addVideo(video("clip.avi"));
    zxVideo& placed = addVideo(video("clip.avi", "<VideoLeft>30</VideoLeft><VideoTop>40</VideoTop>"
                                                 "<VideoWidth>320</VideoWidth><VideoHeight>240</VideoHeight>"));
    EXPECT_EQ(plain.panel(), nullptr);
    buildPage();
    ASSERT_NE(plain.panel(), nullptr);
    EXPECT_EQ(plain.panel()->geometry(), QRect(0, 0, 200, 200));
    EXPECT_EQ(plain.panel()->frameStyle(), int(QFrame::NoFrame));
    EXPECT_EQ(plain.panel()->palette().color(QPalette::Window), QColor::fromRgb(desktopBackgroundRgb));
    EXPECT_TRUE(plain.panel()->isVisibleTo(m_page.get()));
    ASSERT_NE(placed.panel(), nullptr);
    EXPECT_EQ(placed.panel()->geometry(), QRect(30, 40, 320, 240));

    auto* fake = dynamic_cast<FakeVideoPlayer*>(placed.player());
    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(fake->window()->parentWidget(), placed.panel());
    EXPECT_EQ(fake->window()->geometry(), QRect(0, 0, 320, 240));
    EXPECT_TRUE(fake->controlsShown());
    EXPECT_EQ(m_videoLog->made, 2);
    EXPECT_EQ(calls().filter(QStringLiteral("open ")), (QStringList{"open " + m_clipPath, "open " + m_clipPath}));

    // The size and place are read when the panel is made; the file is not
    // opened again while the player lives.
    placed.setRecord(video("clip.avi", "<VideoLeft>0</VideoLeft>"));
    m_videoLog->calls.clear();
    placed.showFor(m_page.get(), "0");
    EXPECT_EQ(placed.panel()->geometry(), QRect(30, 40, 320, 240));
    EXPECT_TRUE(calls().filter(QStringLiteral("open ")).isEmpty());

    placed.releaseControls();
    EXPECT_EQ(placed.panel(), nullptr);
    EXPECT_EQ(placed.player(), nullptr);
    EXPECT_EQ(calls().last(), QStringLiteral("close"));
    EXPECT_EQ(m_videoLog->alive, 1);
    EXPECT_EQ(m_page->findChildren<QFrame*>(QStringLiteral("videoPanel")).size(), 1);
}

TEST_F(VideoObjectTest, StartsOnThePageOnlyWithAutoPlay)
{
    zxVideo& clip = addVideo(video("clip.avi"));
    buildPage();
    ASSERT_NE(clip.player(), nullptr);
    EXPECT_EQ(calls(), (QStringList{"widget", "controls on", "open " + m_clipPath})) << "loaded, not started";

    clip.releaseControls();
    m_videoLog->calls.clear();
    m_autoPlay = true;
    clip.showFor(m_page.get(), "0");
    EXPECT_EQ(calls(), (QStringList{"widget", "controls on", "open " + m_clipPath, "seek", "play"}));
}

TEST_F(VideoObjectTest, AutoStartAndControls)
{
    m_autoPlay = true;
    zxVideo& noAutoStart = addVideo(video("clip.avi", "<videoAutoStart>0</videoAutoStart>"));
    zxVideo& waits = addVideo(video("clip.avi", "<videoAutoStart>0</videoAutoStart><videoShowControls>1</videoShowControls>"));
    zxVideo& both = addVideo(video("clip.avi", "<videoAutoStart>1</videoAutoStart><videoShowControls>1</videoShowControls>"));
    buildPage();
    auto fake = [](zxVideo& v) { return dynamic_cast<FakeVideoPlayer*>(v.player()); };
    ASSERT_NE(fake(noAutoStart), nullptr);
    EXPECT_TRUE(fake(noAutoStart)->playing()) << "videoShowControls 0 forces the start";
    EXPECT_FALSE(fake(waits)->playing()) << "with videoShowControls 1 and no auto-start it waits for the candidate";
    EXPECT_TRUE(fake(both)->playing());

    // Without the key a video starts by itself.
    zxVideo& unsaid = addVideo(video("clip.avi", "<videoShowControls>1</videoShowControls>"));
    unsaid.showFor(m_page.get(), "0");
    ASSERT_NE(fake(unsaid), nullptr);
    EXPECT_TRUE(fake(unsaid)->playing());
}

TEST_F(VideoObjectTest, PlayBarIsAlwaysThere)
{
    // The default record (auto-start 1, no forced start) with Auto Play
    // off: the video waits, and its play bar is there to start it.
    zxVideo& plain = addVideo(video("clip.avi"));
    zxVideo& withControls = addVideo(video("clip.avi", "<videoShowControls>1</videoShowControls>"));
    buildPage();
    for (zxVideo* v : {&plain, &withControls}) {
        auto* fake = dynamic_cast<FakeVideoPlayer*>(v->player());
        ASSERT_NE(fake, nullptr);
        EXPECT_TRUE(fake->controlsShown());
        EXPECT_FALSE(fake->playing());
    }
}

TEST_F(VideoObjectTest, InsideAFeedbackPanelItAlwaysStarts)
{
    zxVideo& clip = addVideo("<feedback>well</feedback><videoFilePathAbs>clip.avi</videoFilePathAbs>"
                             "<VideoLeft>4</VideoLeft><VideoTop>5</VideoTop>");
    zxFeedback& panel = addFeedback("<id>well</id><FeedbackCriteria>0</FeedbackCriteria>"
                                    "<FeedbackLeft>100</FeedbackLeft><FeedbackTop>50</FeedbackTop>"
                                    "<FeedbackWidth>300</FeedbackWidth><FeedbackHeight>300</FeedbackHeight>");
    addFeedback("<id>other</id><FeedbackCriteria>1</FeedbackCriteria>");
    buildPage();
    EXPECT_EQ(clip.panel(), nullptr) << "a panel's video is not part of the page";
    EXPECT_EQ(m_videoLog->made, 0);

    mark(100, 0, 100); // auto-play is off
    ASSERT_NE(clip.panel(), nullptr);
    EXPECT_EQ(clip.panel()->parentWidget(), panel.panel());
    EXPECT_EQ(clip.panel()->geometry(), QRect(4, 5, 200, 200));
    EXPECT_EQ(calls().mid(calls().size() - 2), startCalls());

    // Marking again closes the player and makes a new one, which starts
    // again; another score closes it.
    mark(100, 0, 100);
    EXPECT_EQ(m_videoLog->made, 2);
    EXPECT_EQ(m_videoLog->alive, 1);
    EXPECT_EQ(calls().mid(calls().size() - 2), startCalls());
    mark(0, 0, 100);
    EXPECT_EQ(clip.panel(), nullptr);
    EXPECT_EQ(m_videoLog->alive, 0);
}

TEST_F(VideoObjectTest, FlashAnimationLeavesANoteAndAnEmptyPanel)
{
    write("intro.swf", "FWS\x08 not really");
    zxVideo& flash = addVideo(video("intro.swf", "<VideoWidth>400</VideoWidth><VideoHeight>300</VideoHeight>"));
    m_autoPlay = true;
    buildPage();
    ASSERT_NE(flash.panel(), nullptr);
    EXPECT_EQ(flash.panel()->size(), QSize(400, 300));
    EXPECT_EQ(flash.player(), nullptr);
    EXPECT_EQ(m_videoLog->made, 0);
    EXPECT_EQ(getTag(m_pageRecord, "VideoNote"), "No Flash player");
    EXPECT_EQ(getTag(m_pageRecord, "windowSize"), "1") << "the rest of the record stays";

    // Upper-case extensions are the same; a missing ".swf" file notes nothing.
    m_pageRecord.clear();
    write("OUTRO.SWF", "CWS\x08 not really");
    addVideo(video("OUTRO.SWF")).showFor(m_page.get(), "0");
    EXPECT_EQ(getTag(m_pageRecord, "VideoNote"), "No Flash player");
    m_pageRecord.clear();
    addVideo(video("gone.swf")).showFor(m_page.get(), "0");
    EXPECT_EQ(m_pageRecord, "");
}

TEST_F(VideoObjectTest, UnplayableFileLeavesANoteAndAnEmptyPanel)
{
    riffFile("broken.avi");
    m_videoLog->failingOpens.insert(QString::fromStdString(path("broken.avi")));
    m_autoPlay = true;
    zxVideo& broken = addVideo(video("broken.avi"));
    zxVideo& late = addVideo(video("clip.avi"));
    buildPage();
    ASSERT_NE(broken.panel(), nullptr) << "the empty panel stays";
    EXPECT_EQ(broken.player(), nullptr);
    EXPECT_EQ(getTag(m_pageRecord, "VideoNote"), "Video cannot be played");

    // A file that the player accepted and then could not play.
    m_pageRecord.clear();
    auto* fake = dynamic_cast<FakeVideoPlayer*>(late.player());
    ASSERT_NE(fake, nullptr);
    fake->failLater();
    EXPECT_EQ(late.player(), nullptr);
    EXPECT_NE(late.panel(), nullptr);
    EXPECT_EQ(getTag(m_pageRecord, "VideoNote"), "Video cannot be played");
    EXPECT_EQ(m_videoLog->alive, 0);
}

TEST_F(VideoObjectTest, NoPlayerForMissingOrDisguisedFiles)
{
    write("fake.avi", "MZ\x90\0 a program");
    m_autoPlay = true;
    zxVideo& missing = addVideo(video("nowhere.avi"));
    zxVideo& none = addVideo(video("0"));
    buildPage();
    for (zxVideo* v : {&missing, &none}) {
        ASSERT_NE(v->panel(), nullptr);
        EXPECT_EQ(v->player(), nullptr);
    }
    EXPECT_EQ(getTag(m_pageRecord, "VideoNote"), "");

    // A file whose first bytes do not fit its extension cannot be opened
    // either, and says so in the page record.
    zxVideo& disguised = addVideo(video("fake.avi"));
    disguised.showFor(m_page.get(), "0");
    ASSERT_NE(disguised.panel(), nullptr);
    EXPECT_EQ(disguised.player(), nullptr);
    EXPECT_EQ(getTag(m_pageRecord, "VideoNote"), "Video cannot be played");
    EXPECT_EQ(m_videoLog->made, 0);
}

TEST_F(VideoObjectTest, NoteKeysAreSafeForTheRecord)
{
    write("a.swf", "FWS\x08 not really");
    m_messages[85] = "<Note>";
    m_messages[86] = "no </Note> player";
    addVideo(video("a.swf")).showFor(m_page.get(), "0");
    EXPECT_EQ(getTag(m_pageRecord, "Note"), "no /Note player");
    EXPECT_EQ(getTag(m_pageRecord, "windowSize"), "1");

    const std::string before = m_pageRecord;
    m_messages.erase(85);
    addVideo(video("a.swf")).showFor(m_page.get(), "0");
    EXPECT_EQ(m_pageRecord, before) << "no key, no note";
}

} // namespace
} // namespace zx::testing
