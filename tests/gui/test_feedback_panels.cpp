// Feedback panels on a live page: which panels a marking shows, their
// frames and colours, their sounds, and the page objects shown inside them
// and hidden again.
#include "test_feedback_fixture.h"

#include <QFrame>
#include <QLabel>

namespace zx::testing {
namespace {

using Ids = std::vector<std::string>;

std::string feedback(const char* id, int criterion, const std::string& extra = {})
{
    return std::string("<id>") + id + "</id><FeedbackCriteria>" + std::to_string(criterion) + "</FeedbackCriteria>"
           + "<FeedbackLeft>10</FeedbackLeft><FeedbackTop>10</FeedbackTop><FeedbackWidth>200</FeedbackWidth>"
           + "<FeedbackHeight>100</FeedbackHeight><FeedbackColor>clYellow</FeedbackColor>" + extra;
}

using FeedbackPanelTest = FeedbackPageTest;

TEST_F(FeedbackPanelTest, ChoosesByScoreFirstPassThenSecond)
{
    addFeedback(feedback("A", 0));
    addFeedback(feedback("B", 3, "<FeedbackScoreMin>0</FeedbackScoreMin><FeedbackScoreMax>50</FeedbackScoreMax>"));
    addFeedback(feedback("C", 4));
    buildPage();
    EXPECT_EQ(shownIds(), Ids{}) << "nothing shows before marking";
    EXPECT_EQ(m_feedbacks[0]->panel(), nullptr);

    mark(10000, 0, 10000);
    EXPECT_EQ(shownIds(), Ids{"A"});
    mark(3000, 0, 10000);
    EXPECT_EQ(shownIds(), Ids{"B"});
    mark(7000, 0, 10000);
    EXPECT_EQ(shownIds(), Ids{"C"});
    // The panels of the earlier markings are gone, not merely hidden.
    EXPECT_EQ(m_page->findChildren<QFrame*>(QStringLiteral("feedbackPanel")).size(), 1);
}

TEST_F(FeedbackPanelTest, ShowAllMatchesAndTheAlwaysCriterion)
{
    addFeedback(feedback("A", 0));
    addFeedback(feedback("B", 2, "<FeedbackScoreMatch>50</FeedbackScoreMatch>"));
    addFeedback(feedback("C", 4));
    addFeedback(feedback("D", 5));
    buildPage();

    mark(5000, 0, 5000);
    EXPECT_EQ(shownIds(), (Ids{"A", "D"})) << "the first match wins; criterion 5 shows as well";
    m_pageRecord = setTag(m_pageRecord, "ShowAllFeedbackMatches", "1");
    mark(5000, 0, 5000);
    EXPECT_EQ(shownIds(), (Ids{"A", "B", "D"}));
    // Nothing else matches 70, but the criterion-5 panel keeps the
    // criterion-4 one hidden.
    mark(7000, 0, 10000);
    EXPECT_EQ(shownIds(), Ids{"D"});
}

TEST_F(FeedbackPanelTest, EverySecondPassPanelShowsWhenNothingElseDid)
{
    addFeedback(feedback("A", 0));
    addFeedback(feedback("C1", 4));
    addFeedback(feedback("X", 9)) ;
    addFeedback(feedback("C2", 4));
    buildPage();
    mark(100, 0, 200);
    EXPECT_EQ(shownIds(), (Ids{"C1", "C2"}));
    mark(200, 0, 200);
    EXPECT_EQ(shownIds(), Ids{"A"}) << "a criterion outside 0 to 5 never shows";
}

TEST_F(FeedbackPanelTest, ScoreRangeBoundsInEitherOrder)
{
    addFeedback(feedback("R", 3, "<FeedbackScoreMin>80</FeedbackScoreMin><FeedbackScoreMax>20</FeedbackScoreMax>"));
    addFeedback(feedback("Z", 3, "<FeedbackScoreMin>x</FeedbackScoreMin><FeedbackScoreMax>1.5</FeedbackScoreMax>"));
    buildPage();
    for (int score : {2000, 5000, 8000}) {
        mark(score, 0, 10000);
        EXPECT_EQ(shownIds(), Ids{"R"}) << score;
    }
    for (int score : {1999, 8001}) {
        mark(score, 0, 10000);
        EXPECT_EQ(shownIds(), Ids{}) << score;
    }
    // A bound that is no number reads as 0.
    mark(150, 0, 10000);
    EXPECT_EQ(shownIds(), Ids{"Z"});
}

TEST_F(FeedbackPanelTest, PageWithoutPointsMatchesBestAndWorst)
{
    addFeedback(feedback("worst", 1));
    addFeedback(feedback("best", 0));
    buildPage();
    mark(0, 0, 0);
    EXPECT_EQ(shownIds(), Ids{"worst"});
    m_pageRecord = setTag(m_pageRecord, "ShowAllFeedbackMatches", "1");
    mark(0, 0, 0);
    EXPECT_EQ(shownIds(), (Ids{"worst", "best"}));
}

TEST_F(FeedbackPanelTest, ShowFeedbackZeroLeavesEveryPanelAsItIs)
{
    addFeedback(feedback("A", 0));
    addFeedback(feedback("B", 1));
    buildPage();
    mark(100, 0, 100);
    ASSERT_EQ(shownIds(), Ids{"A"});
    QFrame* shown = m_feedbacks[0]->panel();
    m_hides.clear();

    m_bankSettings = "<ShowFeedback>0</ShowFeedback>";
    mark(0, 0, 100);
    EXPECT_EQ(shownIds(), Ids{"A"});
    EXPECT_EQ(m_feedbacks[0]->panel(), shown);
    EXPECT_TRUE(m_hides.empty());

    // Only exactly "0" switches feedback off.
    m_bankSettings = "<ShowFeedback> 0</ShowFeedback>";
    mark(0, 0, 100);
    EXPECT_EQ(shownIds(), Ids{"B"});
}

TEST_F(FeedbackPanelTest, PanelBoundsColourAndFrame)
{
    zxFeedback& plain = addFeedback("<id>p</id><FeedbackCriteria>5</FeedbackCriteria>");
    zxFeedback& styled = addFeedback(feedback("s", 5, "<FeedbackStyle>1</FeedbackStyle>"));
    buildPage();
    mark(0, 0, 0);
    ASSERT_NE(plain.panel(), nullptr);
    EXPECT_EQ(plain.panel()->geometry(), QRect(0, 0, 20, 20));
    EXPECT_EQ(plain.panel()->frameStyle(), QFrame::Panel | QFrame::Raised);
    EXPECT_EQ(plain.panel()->parentWidget(), m_page.get());
    EXPECT_EQ(plain.panel()->palette().color(QPalette::Window), QGuiApplication::palette().color(QPalette::Button))
        << "no colour: the button face";
    EXPECT_EQ(styled.panel()->geometry(), QRect(10, 10, 200, 100));
    EXPECT_EQ(styled.panel()->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_TRUE(styled.panel()->autoFillBackground());

    const std::pair<int, int> styles[] = {{0, QFrame::Panel | QFrame::Raised},
                                          {1, QFrame::Panel | QFrame::Sunken},
                                          {2, QFrame::Box | QFrame::Plain},
                                          {3, QFrame::NoFrame},
                                          {7, QFrame::Panel | QFrame::Raised}};
    for (const auto& [style, frame] : styles) {
        styled.setRecord(feedback("s", 5, "<FeedbackStyle>" + std::to_string(style) + "</FeedbackStyle>"
                                                + "<FeedbackColor>not a colour</FeedbackColor>"));
        mark(0, 0, 0);
        ASSERT_NE(styled.panel(), nullptr) << "a bad colour still shows the panel";
        EXPECT_EQ(styled.panel()->frameStyle(), frame) << style;
    }
}

TEST_F(FeedbackPanelTest, SoundPlaysThroughTheSoundPlayer)
{
    const std::string chime = riffFile("chime.wav");
    write("fake.wav", QByteArray("ID3\x03\0\0\0\0\0\0\0\0", 12));
    zxFeedback& good = addFeedback(feedback("good", 0, "<FeedbackAudioAbs>chime.wav</FeedbackAudioAbs>"));
    zxFeedback& bad = addFeedback(feedback("bad", 1, "<FeedbackAudioAbs>fake.wav</FeedbackAudioAbs>"));
    zxFeedback& none = addFeedback(feedback("none", 2, "<FeedbackAudioAbs>missing.wav</FeedbackAudioAbs>"));
    buildPage();

    mark(100, 0, 100);
    EXPECT_EQ(good.soundPath(), chime);
    EXPECT_EQ(m_soundBackend->playingPath(), QString::fromStdString(chime));
    EXPECT_EQ(m_soundBackend->calls().filter(QStringLiteral("open ")).size(), 1);

    // Marking again plays it again.
    mark(100, 0, 100);
    EXPECT_EQ(m_soundBackend->calls().filter(QStringLiteral("open ")).size(), 2);

    // A rejected header and a missing file: no sound, the panel shows.
    m_soundBackend->clearCalls();
    mark(0, 0, 100);
    EXPECT_EQ(shownIds(), Ids{"bad"});
    EXPECT_EQ(bad.soundPath(), "0");
    m_pageRecord = setTag(m_pageRecord, "ShowAllFeedbackMatches", "1");
    none.setRecord(feedback("none", 1, "<FeedbackAudioAbs>missing.wav</FeedbackAudioAbs>"));
    mark(0, 0, 100);
    EXPECT_EQ(shownIds(), (Ids{"bad", "none"}));
    EXPECT_EQ(none.soundPath(), "0");
    EXPECT_TRUE(m_soundBackend->calls().filter(QStringLiteral("open ")).isEmpty());
}

TEST_F(FeedbackPanelTest, ContentShowsInsideThePanelAndGoesAgain)
{
    save(filled(30, 20, Qt::blue), "dot.bmp");
    zxText& onPage = addText("<feedback>0</feedback><zxString>Question</zxString>");
    zxText& note = addText("<feedback>good</feedback><textLeft>5</textLeft><textTop>6</textTop><textWidth>150</textWidth>"
                           "<textHeight>20</textHeight><TextLayer>0</TextLayer><zxString>Well done</zxString>");
    zxShape& frame = addShape("<feedback>good</feedback><ShapeLeft>1</ShapeLeft><ShapeTop>2</ShapeTop>"
                              "<ShapeWidth>50</ShapeWidth><ShapeHeight>40</ShapeHeight><ShapeLayer>9</ShapeLayer>");
    zxPicture& dot = addPicture("<feedback>good</feedback><picFilePathAbs>dot.bmp</picFilePathAbs>"
                                "<PictureLeft>70</PictureLeft><PictureTop>30</PictureTop>");
    zxText& other = addText("<feedback>try</feedback><zxString>Try again</zxString>");
    zxFeedback& good = addFeedback(feedback("good", 0));
    addFeedback(feedback("try", 1));
    buildPage();
    ASSERT_NE(onPage.label(), nullptr);
    EXPECT_EQ(note.label(), nullptr) << "panel content is not part of the page";
    EXPECT_EQ(frame.shape(), nullptr);
    EXPECT_EQ(dot.normalImage(), nullptr);

    mark(100, 0, 100);
    QFrame* panel = good.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(m_reveals, Ids{"good"});
    ASSERT_NE(note.label(), nullptr);
    EXPECT_EQ(note.label()->parentWidget(), panel);
    EXPECT_EQ(note.label()->geometry(), QRect(5, 6, 150, 20));
    EXPECT_EQ(note.label()->text(), QStringLiteral("Well done"));
    ASSERT_NE(frame.shape(), nullptr);
    EXPECT_EQ(frame.shape()->parentWidget(), panel);
    EXPECT_EQ(frame.shape()->geometry(), QRect(1, 2, 50, 40));
    ASSERT_NE(dot.normalImage(), nullptr);
    EXPECT_EQ(dot.normalImage()->parentWidget(), panel);
    EXPECT_EQ(dot.normalImage()->pos(), QPoint(70, 30));
    EXPECT_EQ(panel->mapTo(m_page.get(), note.label()->pos()), QPoint(15, 16));
    // Layer 0 lies above layer 9 inside the panel too.
    const QObjectList& order = panel->children();
    EXPECT_LT(order.indexOf(frame.shape()), order.indexOf(note.label()));
    EXPECT_EQ(other.label(), nullptr);
    EXPECT_EQ(onPage.label()->parentWidget(), m_page.get());

    // Another score: the content of "good" goes, "try" comes.
    mark(0, 0, 100);
    EXPECT_EQ(note.label(), nullptr);
    EXPECT_EQ(frame.shape(), nullptr);
    EXPECT_EQ(good.panel(), nullptr);
    ASSERT_NE(other.label(), nullptr);
    EXPECT_EQ(other.label()->parentWidget(), m_feedbacks[1]->panel());
    ASSERT_NE(onPage.label(), nullptr) << "the page's own objects stay";
    EXPECT_EQ(m_hides, (Ids{"good", "try", "good", "try"}));
}

TEST_F(FeedbackPanelTest, PanelsWithoutIdOrWithThePageIdTakeNoPageObjects)
{
    zxText& onPage = addText("<feedback>0</feedback><zxString>Question</zxString>");
    zxText& unowned = addText("<zxString>No id</zxString>");
    addFeedback("<id>0</id><FeedbackCriteria>5</FeedbackCriteria>");
    addFeedback("<FeedbackCriteria>5</FeedbackCriteria>");
    buildPage();
    QLabel* label = onPage.label();
    mark(0, 0, 0);
    mark(0, 0, 0);
    EXPECT_EQ(shownIds(), (Ids{"0", ""}));
    EXPECT_EQ(onPage.label(), label);
    EXPECT_EQ(label->parentWidget(), m_page.get());
    EXPECT_EQ(unowned.label(), nullptr);
    EXPECT_TRUE(m_reveals.empty());
    EXPECT_TRUE(m_hides.empty());
}

// The sample bank's feedback pages, built from their files: every panel
// can be reached by some score and holds what the page says.
class SampleFeedbackPageTest : public FeedbackPageTest {
protected:
    void load(const char* name)
    {
        QFile file(QStringLiteral(ZX_SOURCE_DIR "/examples/sample-bank/pages/") + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::string page = file.readAll().toStdString();
        m_pageRecord = page;
        for (const char* kind : {"zxPicture", "zxShape", "zxText", "zxVideo", "zxFeedback"}) {
            for (std::string record = getTag(page, kind); record.size() >= 5; record = getTag(page, kind)) {
                page = deleteTag(page, kind);
                const std::string k = kind;
                if (k == "zxPicture")
                    addPicture(record);
                else if (k == "zxShape")
                    addShape(record);
                else if (k == "zxText")
                    addText(record);
                else if (k == "zxVideo")
                    addVideo(record);
                else
                    addFeedback(record);
            }
        }
        buildPage();
    }
};

TEST_F(SampleFeedbackPageTest, EveryPanelOfTheSamplePages)
{
    const std::string media = ZX_SOURCE_DIR "/examples/sample-bank/media/";
    for (const char* file : {"sun.bmp", "chime.wav", "orbit.avi"})
        ASSERT_TRUE(QFile::copy(QString::fromStdString(media + file), m_dir.path() + "/" + file));

    load("q10.txt");
    mark(100, 0, 100);
    EXPECT_EQ(shownIds(), Ids{"right"});
    EXPECT_EQ(m_soundBackend->playingPath(), m_dir.path() + "/chime.wav");
    QFrame* right = m_feedbacks[0]->panel();
    std::vector<QWidget*> content;
    for (auto& text : m_texts)
        if (text->feedbackId() == "right")
            content.push_back(text->label());
    for (auto& picture : m_pictures)
        content.push_back(picture->normalImage());
    for (auto& shape : m_shapes)
        content.push_back(shape->shape());
    ASSERT_EQ(content.size(), 4u);
    for (QWidget* control : content) {
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget(), right);
        EXPECT_TRUE(right->rect().contains(control->geometry())) << control->metaObject()->className();
    }
    mark(0, 0, 100);
    EXPECT_EQ(shownIds(), Ids{"wrong"});
    leavePage();

    load("q11.txt");
    EXPECT_EQ(m_videoLog->made, 0) << "the video belongs to a panel";
    const std::pair<int, Ids> q11[] = {{200, {"all"}}, {100, {"one"}}, {50, {"low"}}, {0, {"low"}},
                                       {-50, {"low"}}, {150, {"else"}}};
    for (const auto& [score, ids] : q11) {
        mark(score, -50, 200);
        EXPECT_EQ(shownIds(), ids) << score;
    }
    mark(200, -50, 200);
    ASSERT_NE(m_videoLog->current, nullptr);
    EXPECT_TRUE(m_videoLog->current->playing());
    EXPECT_EQ(m_videoLog->current->window()->parentWidget()->parentWidget(), m_feedbacks[0]->panel());
    leavePage();

    m_autoPlay = true;
    load("q12.txt");
    ASSERT_NE(m_videoLog->current, nullptr);
    EXPECT_TRUE(m_videoLog->current->playing());
    EXPECT_TRUE(m_videoLog->current->controlsShown());
    mark(100, 0, 100);
    EXPECT_EQ(shownIds(), Ids{"sky"});
    mark(0, 0, 100);
    EXPECT_EQ(shownIds(), (Ids{"wrong", "sky"}));
}

} // namespace
} // namespace zx::testing
