// Opening banks, the password and details dialogs, assembling and starting
// the test and moving between pages, on a real main window offscreen.
#include "test_run_fixture.h"

#include "window/back_cover_window.h"
#include "objects/core/test_state.h"
#include "objects/zx_background.h"
#include "objects/zx_picture.h"
#include "objects/zx_text.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"
#include "tools/bankpack/bank_packer.h"
#include "testrun/page_builder.h"
#include "testrun/password_dialog.h"
#include "testrun/test_run.h"
#include "testrun/user_details_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <random>
#include <set>

namespace zx::test {

TEST_F(TestRunFixture, RefusalsLeaveTheirMessage)
{
    // A missing file: nothing changes.
    m_run->openBank(m_dir.path() + QStringLiteral("/missing.zxb"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x71"));
    EXPECT_EQ(m_form->testState(), TestState::NoTest);

    // A file that is no bank: index length unreadable.
    const QString junk = m_dir.path() + QStringLiteral("/junk.zxb");
    writeFile(junk, std::string(2000, 'j'));
    m_run->openBank(junk);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x79"));

    // An empty and a truncated bank.
    const QString empty = m_dir.path() + QStringLiteral("/empty.zxb");
    writeFile(empty, "");
    m_run->openBank(empty);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x79"));
    QFile sample(sampleBank());
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QString cut = m_dir.path() + QStringLiteral("/cut.zxb");
    writeFile(cut, sample.read(700).toStdString());
    m_run->openBank(cut);
    EXPECT_NE(m_form->testState(), TestState::Running);

    m_run->openBank(packed(QStringLiteral("no-media")));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x77"));
    m_run->openBank(packed(QStringLiteral("version2")));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x64"));
    EXPECT_TRUE(m_run->testSettings().empty() || getTagInt(m_run->testSettings(), "version", 0) == 2);
    EXPECT_FALSE(questionSlider(*m_form)->isEnabled());
    EXPECT_EQ(m_form->testState(), TestState::NoTest);
}

TEST_F(TestRunFixture, OpeningDuringATestAsksOrRefuses)
{
    m_run->openBank(sampleBank());
    ASSERT_EQ(m_form->testState(), TestState::Ready);
    m_answerYes = false;
    m_run->openBank(sampleBank());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x73"));
    EXPECT_EQ(m_form->testState(), TestState::Ready);
    EXPECT_EQ(m_run->currentQuestion(), 0);

    m_run->startTest();
    ASSERT_EQ(m_form->testState(), TestState::Running);
    questionSlider(*m_form)->setValue(2);
    ASSERT_EQ(m_run->currentQuestion(), 2);
    m_run->openBank(sampleBank());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x74"));
    EXPECT_EQ(m_run->currentQuestion(), 2); // the test goes on on the same page
    EXPECT_EQ(m_form->testState(), TestState::Running);

    m_form->setTestState(TestState::Finished);
    m_run->openBank(sampleBank());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x75"));

    m_answerYes = true;
    m_form->setTestState(TestState::Running);
    m_run->openBank(packed(QStringLiteral("exam")));
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    const int questions = static_cast<int>(m_questions.size());
    m_run->openBank(sampleBank());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x72"));
    EXPECT_EQ(m_questions.size(), questions); // refused without a question
    EXPECT_EQ(m_form->testState(), TestState::RunningExam);
}

TEST_F(TestRunFixture, PasswordIgnoresCaseSpacesAndFilteredCharacters)
{
    EXPECT_TRUE(TPassword::passwordMatches("open sesame", "Open Sesame"));
    EXPECT_TRUE(TPassword::passwordMatches("  OPEN   SESAME ", "Open Sesame"));
    EXPECT_TRUE(TPassword::passwordMatches("\tOpen Se\"same\r\n", "Open Sesame"));
    EXPECT_FALSE(TPassword::passwordMatches("OpenSesame", "Open Sesame"));
    EXPECT_FALSE(TPassword::passwordMatches("", "Open Sesame"));

    m_run->openBank(packed(QStringLiteral("password")));
    TPassword* dialog = m_run->passwordDialog();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("message 100: password"));
    QTest::keyClicks(dialog->passwordEdit(), QStringLiteral("wrong"));
    QTest::mouseClick(dialog->enterButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x99"));
    EXPECT_EQ(m_informs.back(), QStringLiteral("message 99"));

    dialog->passwordEdit()->setText(QStringLiteral("  open SESAME  "));
    QTest::mouseClick(dialog->enterButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(m_passwordWaits, (QList<int>{1200, 1200})); // every attempt waits
    EXPECT_TRUE(m_run->userDetailsDialog()->isVisible());
}

TEST_F(TestRunFixture, BankWithoutPasswordOpensAtOnce)
{
    for (const char* password : {"", "0", "\"^`"}) {
        m_form->setTestState(TestState::NoTest);
        m_run->openBank(makeBank(std::string("<version>1</version><BankPassword>") + password + "</BankPassword>",
                                 {page("Question one")}));
        EXPECT_FALSE(m_run->passwordDialog()->isVisible()) << password;
        EXPECT_EQ(m_form->testState(), TestState::Running) << password;
    }
}

TEST_F(TestRunFixture, AnOpenedBankGivesBackMinimiseAndIsRememberedUnlessAPreview)
{
    const std::string settings = "<version>1</version><BankPassword>0</BankPassword>";
    m_form->examLock().setMinimiseAllowed(false);
    const QString practice = makeBank(settings, {page("Question one")});
    m_run->openBank(practice);
    EXPECT_TRUE(m_form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    const RecentList& banks = m_form->fileMenu().recentFiles().banks;
    EXPECT_EQ(banks.front(), localPath(practice));

    m_form->setTestState(TestState::NoTest);
    const QString preview = makeBank(settings + "<questionPreview>1</questionPreview>", {page("Question two")});
    m_run->openBank(preview);
    EXPECT_EQ(m_run->bankPath(), preview);
    EXPECT_EQ(std::count(banks.begin(), banks.end(), localPath(preview)), 0);
    EXPECT_EQ(banks.front(), localPath(practice));
}

TEST_F(TestRunFixture, APracticeTestIsCoveredOnlyWhenTheBankAsks)
{
    const std::string settings = "<version>1</version><BankPassword>0</BankPassword>";
    m_run->openBank(makeBank(settings, {page("Question one")}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_FALSE(m_form->examLock().coverWindow()->isVisible());
    m_form->setTestState(TestState::NoTest);
    m_run->openBank(makeBank(settings + "<showBackgroundCover>1</showBackgroundCover>", {page("Question one")}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_TRUE(m_form->examLock().coverWindow()->isVisible());
}

TEST_F(TestRunFixture, DetailsMustAllBeFilledAndAreStored)
{
    m_run->openBank(packed(QStringLiteral("password")));
    m_run->passwordDialog()->passwordEdit()->setText(QStringLiteral("open sesame"));
    QTest::mouseClick(m_run->passwordDialog()->enterButton(), Qt::LeftButton);
    TUserDetails* details = m_run->userDetailsDialog();
    ASSERT_TRUE(details->isVisible());
    EXPECT_EQ(details->label(0)->text(), QStringLiteral("Name"));
    EXPECT_EQ(details->label(2)->text(), QStringLiteral("Candidate number"));

    QTest::keyClicks(details->edit(0), QStringLiteral("Ann"));
    QTest::keyClicks(details->edit(1), QStringLiteral("   "));
    QTest::keyClicks(details->edit(2), QStringLiteral("42"));
    QTest::mouseClick(details->enterButton(), Qt::LeftButton);
    EXPECT_TRUE(details->isVisible());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x84"));

    details->edit(1)->setText(QStringLiteral(" 7<isExam>1</isExam> "));
    QTest::mouseClick(details->enterButton(), Qt::LeftButton);
    EXPECT_FALSE(details->isVisible());
    const std::string settings = m_run->testSettings();
    EXPECT_EQ(settings.find("<userDetails3>42</userDetails3>"), settings.find("<userDetails3>"));
    EXPECT_EQ(getTag(settings, "userDetails1"), "Ann");
    // Markup typed as a detail cannot change the test's rules.
    EXPECT_EQ(getTag(settings, "userDetails2"), "7(isExam)1(/isExam)");
    EXPECT_EQ(getTagInt(settings, "isExam", -1), 0);
    EXPECT_EQ(m_form->testState(), TestState::Ready);
}

TEST_F(TestRunFixture, CancellingADialogLeavesTheBankUnusable)
{
    m_run->openBank(packed(QStringLiteral("password")));
    QTest::mouseClick(m_run->passwordDialog()->cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(m_run->testSettings().empty());
    EXPECT_TRUE(m_run->questionList().empty());
    EXPECT_FALSE(panelButton(*m_form, "StartButton")->isVisible());
    EXPECT_EQ(m_form->testState(), TestState::NoTest);
}

TEST_F(TestRunFixture, PreTestPagesThenStartButtonThenQuestions)
{
    m_run->openBank(packed(QStringLiteral("password")));
    m_run->passwordDialog()->passwordEdit()->setText(QStringLiteral("Open Sesame"));
    QTest::mouseClick(m_run->passwordDialog()->enterButton(), Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        m_run->userDetailsDialog()->edit(i)->setText(QStringLiteral("x"));
    QTest::mouseClick(m_run->userDetailsDialog()->enterButton(), Qt::LeftButton);

    ASSERT_EQ(m_form->testState(), TestState::Ready);
    EXPECT_EQ(m_run->lastQuestion(), 1);
    EXPECT_EQ(m_form->pageWindow().pageArea()->size(), QSize(1024, 768 - 27));
    EXPECT_FALSE(panelButton(*m_form, "StartButton")->isVisible());
    EXPECT_TRUE(m_frameWaits.isEmpty());
    // Mark is offered but waits for a page; Show Answer is 100 pixels wide.
    EXPECT_TRUE(panelButton(*m_form, "MarkButton")->isVisible());
    EXPECT_FALSE(panelButton(*m_form, "MarkButton")->isEnabled());
    EXPECT_EQ(panelButton(*m_form, "CheatButton")->width(), 100);
    EXPECT_EQ(panelButton(*m_form, "CheatButton")->text(), QStringLiteral("message 88"));

    questionSlider(*m_form)->setValue(1);
    EXPECT_TRUE(panelButton(*m_form, "StartButton")->isVisible());
    EXPECT_TRUE(panelButton(*m_form, "StartButton")->isEnabled());
    EXPECT_EQ(m_frameWaits.size(), 36); // the attention frame ran first

    QTest::mouseClick(panelButton(*m_form, "StartButton"), Qt::LeftButton);
    // Two pre-test pages and still the questions are read.
    EXPECT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(m_run->lastQuestion(), 1);
    EXPECT_FALSE(panelButton(*m_form, "StartButton")->isVisible());
    EXPECT_EQ(getTag(m_run->testSettings(), "testStartDate"), "20261206143005");
    EXPECT_EQ(panelButton(*m_form, "FinishButton")->geometry().right(), controlPanel(*m_form)->width() - 8);
    EXPECT_EQ(panelButton(*m_form, "MarkButton")->geometry().right(), panelButton(*m_form, "FinishButton")->x() - 2);
    EXPECT_EQ(panelButton(*m_form, "CheatButton")->geometry().right(), panelButton(*m_form, "MarkButton")->x() - 2);
    EXPECT_EQ(questionSlider(*m_form)->geometry().right(), panelButton(*m_form, "CheatButton")->x() - 3);
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("SaveResults1"))->isEnabled());
}

TEST_F(TestRunFixture, StartTestPictureReplacesTheStartButton)
{
    const std::string startPicture =
        "<zxPicture><PictureName> Start\tTe\"st </PictureName><picFilePathAbs>pic.bmp</picFilePathAbs>"
        "<feedback>0</feedback><picLeft>10</picLeft></zxPicture>";
    m_run->openBank(makeBank("<version>1</version>", {page("Q")}, {page("Welcome", startPicture)}));
    ASSERT_EQ(m_form->testState(), TestState::Ready);
    EXPECT_TRUE(m_run->page().hasStartTestPicture());
    EXPECT_FALSE(panelButton(*m_form, "StartButton")->isVisible());
    EXPECT_TRUE(m_frameWaits.isEmpty());
}

TEST_F(TestRunFixture, SampleBankStartsFromItsStartPicture)
{
    m_run->openBank(sampleBank());
    ASSERT_EQ(m_form->testState(), TestState::Ready);
    PageBuilder& page = m_run->page();
    auto pictureNamed = [&](const std::string& name) -> zxPicture* {
        for (int i = 0; i < PageBuilder::pictureCapacity; ++i)
            if (page.picture(i) && getTag(page.picture(i)->record(), "PictureName") == name)
                return page.picture(i);
        return nullptr;
    };

    // The tour page: the line in the top layer lies on its picture, on one
    // line.
    questionSlider(*m_form)->setValue(1);
    QLabel* layered = nullptr;
    for (int i = 0; i < PageBuilder::textCapacity; ++i)
        if (page.text(i) && page.text(i)->label() && page.text(i)->label()->text().startsWith(QStringLiteral("Layers:")))
            layered = page.text(i)->label();
    zxPicture* under = pictureNamed("under");
    ASSERT_TRUE(layered && under && under->normalImage());
    EXPECT_TRUE(under->normalImage()->geometry().contains(layered->geometry()));
    EXPECT_LE(layered->fontMetrics().horizontalAdvance(layered->text()), layered->width());

    // The last pre-test page: the green picture, not the Start button,
    // starts the test.
    questionSlider(*m_form)->setValue(m_run->lastQuestion());
    EXPECT_TRUE(page.hasStartTestPicture());
    EXPECT_FALSE(panelButton(*m_form, "StartButton")->isVisible());
    zxPicture* start = pictureNamed("StartTest");
    ASSERT_TRUE(start && start->normalImage());
    QTest::mouseClick(start->normalImage(), Qt::LeftButton, {}, QPoint(5, 5));
    m_form->repaint();
    processEvents();
    EXPECT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(m_run->currentQuestion(), 0);
    EXPECT_EQ(shownText(0), "Question 1");
}

TEST_F(TestRunFixture, ExamLocksTheWindow)
{
    m_run->openBank(packed(QStringLiteral("exam")));
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    EXPECT_FALSE(panelButton(*m_form, "MarkButton")->isVisible());
    EXPECT_FALSE(panelButton(*m_form, "CheatButton")->isVisible());
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("FileOpenItem"))->isEnabled());
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("FileExitItem"))->isEnabled());
    EXPECT_FALSE(m_form->windowFlags() & Qt::WindowMinimizeButtonHint);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(menuItem(*m_form, QStringLiteral("zxWebJump%1").arg(i))->isEnabled());
    EXPECT_FALSE(m_form->close());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x16"));
    // 2 of 3 questions, drawn at random, never the same twice.
    EXPECT_EQ(m_run->lastQuestion(), 1);
    const NumberedTags pages(m_run->questionList(), "questionFile", 3);
    EXPECT_NE(pages.value(0), pages.value(1));
    EXPECT_TRUE(pages.value(2).empty());
}

TEST_F(TestRunFixture, PageTooLargeForTheDesktopIsNotPrepared)
{
    m_desktop = QRect(0, 0, 1000, 740);
    m_run->openBank(packed(QStringLiteral("password")));
    m_run->passwordDialog()->passwordEdit()->setText(QStringLiteral("Open Sesame"));
    QTest::mouseClick(m_run->passwordDialog()->enterButton(), Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        m_run->userDetailsDialog()->edit(i)->setText(QStringLiteral("x"));
    QTest::mouseClick(m_run->userDetailsDialog()->enterButton(), Qt::LeftButton);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x103"));
    EXPECT_EQ(m_form->testState(), TestState::NoTest);
}

TEST_F(TestRunFixture, NumberOfQuestionsAndStoredOrder)
{
    std::vector<std::string> questions;
    for (int i = 0; i < 10; ++i)
        questions.push_back(page("Question " + std::to_string(i)));
    m_run->openBank(makeBank("<version>1</version><NumberOfQuestions>0</NumberOfQuestions>", questions));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(m_run->lastQuestion(), 9);
    for (int i = 0; i < 10; i += 3) {
        questionSlider(*m_form)->setValue(i);
        EXPECT_EQ(shownText(), "Question " + std::to_string(i));
    }
    m_run->openBank(makeBank("<version>1</version><NumberOfQuestions>3</NumberOfQuestions>", questions));
    EXPECT_EQ(m_run->lastQuestion(), 2);
    std::set<std::string> seen;
    for (int i = 0; i < 3; ++i) {
        questionSlider(*m_form)->setValue(i);
        seen.insert(shownText());
    }
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(TestRunFixture, PageBuilderKeepsCapacitiesAndLayers)
{
    std::string many;
    for (int i = 0; i < 61; ++i)
        many += zx::testing::textObject("t" + std::to_string(i));
    // A short text element (under 20 characters) is read but makes nothing;
    // one under 5 ends the texts.
    const std::string layered =
        "<zxPicture><picFilePathAbs>pic.bmp</picFilePathAbs><PictureLayer>3</PictureLayer><feedback>0</feedback>"
        "</zxPicture><zxText><zxString>top</zxString><TextLayer>3</TextLayer><feedback>0</feedback></zxText>"
        "<zxText><zxString>deep</zxString><TextLayer>9</TextLayer><feedback>0</feedback></zxText>"
        "<zxText><zxString>zero</zxString><TextLayer>0</TextLayer><feedback>0</feedback></zxText>"
        "<zxText><feedback>1</feedback><zxString>in panel 1</zxString></zxText>";
    m_run->openBank(makeBank("<version>1</version>", {page("first", many), page("second", layered)}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(m_run->page().textCount(), 60);

    questionSlider(*m_form)->setValue(1);
    PageBuilder& page = m_run->page();
    ASSERT_EQ(page.textCount(), 5);
    ASSERT_EQ(page.pictureCount(), 1);
    const QObjectList stack = m_form->pageWindow().pageArea()->children();
    auto position = [&](QObject* o) { return stack.indexOf(o); };
    QLabel* top = page.text(1)->label();
    QLabel* deep = page.text(2)->label();
    QLabel* zero = page.text(3)->label();
    ASSERT_TRUE(top && deep && zero);
    EXPECT_EQ(page.text(4)->label(), nullptr); // feedback objects wait for their panel
    EXPECT_LT(position(deep), position(top));
    EXPECT_LT(position(top), position(zero));
    EXPECT_LT(position(page.picture(0)->normalImage()), position(top));
    EXPECT_LT(position(deep), position(page.picture(0)->normalImage()));

    page.revealFeedback("1", m_form->pageWindow().pageArea());
    EXPECT_NE(page.text(4)->label(), nullptr);
    page.hideFeedback("1");
    EXPECT_EQ(page.text(4)->label(), nullptr);
}

TEST_F(TestRunFixture, BackgroundFillsThePageAreaAboveThePanel)
{
    // A 100 x 80 picture with a red top-left pixel on an 800 x 600 page,
    // whose page area is 800 x 573 above the control panel.
    auto background = [](int position) {
        return "<zxBackground><bgFilePathAbs>bg.bmp</bgFilePathAbs><bgFilePathRel></bgFilePathRel><bgPosition>"
               + std::to_string(position) + "</bgPosition></zxBackground>";
    };
    m_run->openBank(makeBank("<version>1</version>",
                             {page("corner", background(3)), page("centre", background(0)), page("tiles", background(5))},
                             {}, [](const QString& media) {
                                 QImage picture(100, 80, QImage::Format_RGB32);
                                 picture.fill(Qt::blue);
                                 picture.setPixel(0, 0, qRgb(255, 0, 0));
                                 ASSERT_TRUE(picture.save(media + QStringLiteral("/bg.bmp")));
                             }));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    ASSERT_EQ(m_form->pageWindow().pageArea()->size(), QSize(800, 573));
    auto pixel = [&](int x, int y) { return m_form->pageWindow().pageArea()->grab().toImage().pixel(x, y); };
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);

    EXPECT_EQ(m_run->page().background()->areaHeight(), 573);
    EXPECT_EQ(pixel(0, 493), red);
    EXPECT_EQ(pixel(99, 572), blue) << "the picture ends on the panel's edge";

    questionSlider(*m_form)->setValue(1);
    EXPECT_EQ(pixel(350, 246), red);

    questionSlider(*m_form)->setValue(2);
    EXPECT_EQ(pixel(700, 560), red) << "the last row of tiles reaches the panel";
    EXPECT_EQ(pixel(799, 572), blue);
}

TEST_F(TestRunFixture, QuestionAudioPlaysOnlyWithAutoPlay)
{
    const QString src = m_dir.path() + QStringLiteral("/audio");
    QDir().mkpath(src + QStringLiteral("/pages"));
    QDir().mkpath(src + QStringLiteral("/media"));
    writeFile(src + QStringLiteral("/settings.txt"), "<version>1</version>");
    writeFile(src + QStringLiteral("/media/hello.wav"), std::string("RIFF\x24\0\0\0WAVEfmt ", 16));
    writeFile(src + QStringLiteral("/media/bad.wav"), std::string("JUNKJUNKJUNKJUNK"));
    writeFile(src + QStringLiteral("/pages/q00.txt"), page("one", "<questionAudioAbs>hello.wav</questionAudioAbs>"));
    writeFile(src + QStringLiteral("/pages/q01.txt"), page("two", "<questionAudioAbs>bad.wav</questionAudioAbs>"));
    writeFile(src + QStringLiteral("/pages/q02.txt"), page("three", "<questionAudioAbs>hello.wav</questionAudioAbs>"));
    m_run->openBank(packed(src));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    auto opens = [this] { return m_sound->calls().filter(QStringLiteral("open ")).size(); };
    ASSERT_EQ(opens(), 1);
    EXPECT_FALSE(m_sound->playingPath().isEmpty());
    EXPECT_TRUE(m_sound->calls().filter(QStringLiteral("open ")).back().endsWith(QStringLiteral(".wav")));
    questionSlider(*m_form)->setValue(1); // a bad header is not played
    EXPECT_EQ(opens(), 1);
    EXPECT_TRUE(m_sound->playingPath().isEmpty()); // the first page's sound stopped with it
    QTest::mouseClick(autoPlayBox(*m_form), Qt::LeftButton);
    ASSERT_FALSE(autoPlayBox(*m_form)->isChecked());
    questionSlider(*m_form)->setValue(2);
    EXPECT_EQ(opens(), 1);
}

TEST_F(TestRunFixture, HostileBankNamesStayInTheWorkingFolder)
{
    const std::string hostile = "<zxPicture><picFilePathAbs>../../../../etc/passwd</picFilePathAbs>"
                                "<feedback>0</feedback></zxPicture>";
    m_run->openBank(makeBank("<version>1</version>", {page("q", hostile)}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    const std::string resolved = m_run->resolveBankFile("../../../../etc/passwd");
    EXPECT_EQ(QFileInfo(QString::fromStdString(resolved)).absolutePath(), m_form->pageWindow().workingFolder().path());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(resolved)));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(m_run->resolveBankFile("pic.bmp"))));
}


TEST_F(TestRunFixture, SubtitlesFollowTheOption)
{
    const std::string subtitle =
        "<zxText><zxString>spoken words</zxString><TextIsSubtitle>1</TextIsSubtitle><feedback>0</feedback></zxText>"
        "<zxText><zxString>in a panel</zxString><TextIsSubtitle>1</TextIsSubtitle><feedback>4</feedback></zxText>"
        "<zxText><zxString>deep text</zxString><TextLayer>9</TextLayer><feedback>0</feedback></zxText>";
    m_run->openBank(makeBank("<version>1</version>", {page("q", subtitle)}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    QAction* option = menuItem(*m_form, QStringLiteral("Subtitles"));
    ASSERT_TRUE(option);
    if (option->isChecked())
        option->trigger();
    ASSERT_FALSE(m_form->optionsMenu().subtitlesOn());
    EXPECT_EQ(m_run->page().text(1)->label(), nullptr);
    option->trigger();
    ASSERT_TRUE(m_form->optionsMenu().subtitlesOn());
    ASSERT_NE(m_run->page().text(1)->label(), nullptr);
    EXPECT_EQ(m_run->page().text(1)->label()->text(), QStringLiteral("spoken words"));
    // The panel's subtitle waits for its panel; the layer-9 text stays below
    // the layer-6 question text.
    EXPECT_EQ(m_run->page().text(2)->label(), nullptr);
    const QObjectList stack = m_form->pageWindow().pageArea()->children();
    EXPECT_LT(stack.indexOf(m_run->page().text(3)->label()), stack.indexOf(m_run->page().text(0)->label()));
    option->trigger();
    EXPECT_EQ(m_run->page().text(1)->label(), nullptr);
}


TEST_F(TestRunFixture, OpenShellCallOpensTheBank)
{
    const QString bank = sampleBank();
    emit m_form->startup().startupFinished({"openShellCall"});
    EXPECT_EQ(m_form->testState(), TestState::NoTest);
    emit m_form->startup().startupFinished({"OpenShellCall", bank.toStdString()});
    EXPECT_EQ(m_form->testState(), TestState::NoTest);
    emit m_form->startup().startupFinished({"openShellCall", bank.toStdString()});
    EXPECT_EQ(m_form->testState(), TestState::Ready);
    EXPECT_EQ(m_run->bankPath(), bank);
}


TEST_F(TestRunFixture, LeavingAPageKeepsElementsThatMadeNoObject)
{
    const std::string unmarkedButton = "<zxButton><buttonType>1</buttonType><buttonLeft>40</buttonLeft>"
                                       "<userAnswer>0</userAnswer></zxButton>";
    const std::string shortField = "<zxField>tiny field</zxField>";
    const std::string field = "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldWidth>100</FieldWidth>"
                              "<FieldAnswer1>Mars</FieldAnswer1><userAnswer></userAnswer></zxField>";
    m_run->openBank(makeBank("<version>1</version>", {page("one", unmarkedButton + shortField + field), page("two")}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    ASSERT_EQ(m_run->page().buttonCount(), 0);
    ASSERT_EQ(m_run->page().fieldCount(), 1);
    questionSlider(*m_form)->setValue(1);
    const std::string stored = getTag(m_run->questionList(), "questionFile0");
    EXPECT_NE(stored.find(unmarkedButton), std::string::npos);
    EXPECT_NE(stored.find(shortField), std::string::npos);
    EXPECT_NE(stored.find("<FieldAnswer1>Mars</FieldAnswer1>"), std::string::npos);
    // Leaving and coming back twice changes nothing more.
    questionSlider(*m_form)->setValue(0);
    questionSlider(*m_form)->setValue(1);
    EXPECT_EQ(getTag(m_run->questionList(), "questionFile0"), stored);
}


TEST_F(TestRunFixture, PreTestPagesTakeNoAnswers)
{
    const std::string answers =
        "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldAnswer1>Mars</FieldAnswer1></zxField>"
        "<zxButton><buttonType>0</buttonType><buttonMarkIfSelected>1</buttonMarkIfSelected><s1>pic.bmp</s1></zxButton>"
        "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>Item</DragName><targets>0,A,1,0,0,9,9;</targets></zxDrag>";
    m_run->openBank(makeBank("<version>1</version>", {page("q", answers)}, {page("welcome", answers)}));
    ASSERT_EQ(m_form->testState(), TestState::Ready);
    EXPECT_EQ(m_run->page().fieldCount(), 0);
    EXPECT_EQ(m_run->page().buttonCount(), 0);
    EXPECT_EQ(m_run->page().dragCount(), 0);
    EXPECT_EQ(m_run->page().textCount(), 1);
    m_run->startTest();
    EXPECT_EQ(m_run->page().fieldCount(), 1);
    EXPECT_EQ(m_run->page().buttonCount(), 1);
    EXPECT_EQ(m_run->page().dragCount(), 1);
}

} // namespace zx::test
