// Reading a page aloud: its texts in reading order, in the interface
// language, from Options or its key, in an exam too; a report as it
// stands; nothing at all without a speech service.
#include "test_run_fixture.h"

#include "app/core/speech_language.h"
#include "tests/support/fake_speech.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace zx::test {

class ReadAloudTest : public TestRunFixture {
protected:
    void SetUp() override
    {
        TestRunFixture::SetUp();
        auto speech = std::make_unique<FakeSpeech>();
        m_speech = speech.get();
        m_form->readAloud().setSpeech(std::move(speech));
    }
    QAction* readAloud() const { return menuItem(*m_form, QStringLiteral("ReadAloud")); }
    FakeSpeech* m_speech = nullptr;
};

TEST_F(ReadAloudTest, ThePageIsReadInReadingOrder)
{
    // Texts out of order in the page: the heading last, two on one line
    // (the right one a little higher), one in a panel that is not shown.
    const std::string texts =
        "<zxText><feedback>0</feedback><textLeft>300</textLeft><textTop>98</textTop><textWidth>100</textWidth>"
        "<textHeight>24</textHeight><zxString>right</zxString></zxText>"
        "<zxText><feedback>0</feedback><textLeft>40</textLeft><textTop>100</textTop><textWidth>100</textWidth>"
        "<textHeight>24</textHeight><zxString>left</zxString></zxText>"
        "<zxText><feedback>7</feedback><textLeft>40</textLeft><textTop>10</textTop><zxString>hidden</zxString></zxText>"
        "<zxText><feedback>0</feedback><textLeft>40</textLeft><textTop>200</textTop><textWidth>300</textWidth>"
        "<textHeight>24</textHeight><zxString><zxLine>last</zxLine>\r\n<zxLine>line</zxLine></zxString></zxText>";
    m_run->openBank(makeBank("<version>1</version>", {zx::testing::element("windowSize", "1")
                                                          + zx::testing::textObject("Heading", "<textLeft>40</textLeft>"
                                                                                               "<textTop>20</textTop>")
                                                          + texts}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    readAloud()->trigger();
    ASSERT_EQ(m_speech->spoken().size(), 1);
    EXPECT_EQ(m_speech->spoken().front(),
              (QStringList{QStringLiteral("Heading"), QStringLiteral("left"), QStringLiteral("right"),
                           QStringLiteral("last line")}));
    EXPECT_EQ(m_speech->locales().front(), QStringLiteral("en_GB"));

    // Again while reading: the reading stops.
    readAloud()->trigger();
    EXPECT_EQ(m_speech->spoken().size(), 1);
    EXPECT_EQ(m_speech->stops(), 1);
    EXPECT_FALSE(m_speech->isSpeaking());
}

TEST_F(ReadAloudTest, ItsKeyWorksInTheExamLock)
{
    m_run->openBank(packed(QStringLiteral("exam")));
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    QApplication::setActiveWindow(m_form.get());
    m_form->activateWindow();
    processEvents();
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("FileExitItem"))->isEnabled());
    EXPECT_TRUE(readAloud()->isEnabled());
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_F3);
    ASSERT_EQ(m_speech->spoken().size(), 1);
    EXPECT_TRUE(m_speech->spoken().front().front().startsWith(QStringLiteral("Question ")));

    // After the test the report on show is read.
    m_speech->finish();
    m_answerYes = true;
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    ASSERT_TRUE(m_form->reportArea().reportVisible(ReportKind::Summary) || m_form->reportArea().reportVisible(ReportKind::Detailed));
    readAloud()->trigger();
    ASSERT_EQ(m_speech->spoken().size(), 2);
    EXPECT_GT(m_speech->spoken().back().size(), 1);
}

TEST_F(ReadAloudTest, WithoutASpeechServiceTheItemIsDisabled)
{
    m_form->readAloud().setSpeech(std::make_unique<FakeSpeech>(false));
    EXPECT_FALSE(readAloud()->isEnabled());
    m_run->openBank(sampleBank());
    readAloud()->trigger(); // a disabled item does nothing; its key neither
    EXPECT_FALSE(readAloud()->isEnabled());

    // A service that fails later (an engine error) disables it too.
    auto speech = std::make_unique<FakeSpeech>();
    FakeSpeech* failing = speech.get();
    m_form->readAloud().setSpeech(std::move(speech));
    EXPECT_TRUE(readAloud()->isEnabled());
    failing->setAvailable(false);
    EXPECT_FALSE(readAloud()->isEnabled());
    failing->setAvailable(true);
    auto* options = m_form->findChild<QMenu*>(QStringLiteral("Options1"));
    ASSERT_NE(options, nullptr);
    emit options->aboutToShow();
    EXPECT_TRUE(readAloud()->isEnabled());
    readAloud()->trigger();
    EXPECT_EQ(failing->spoken().size(), 1);
}

TEST(SpeechLanguage, LanguageFileNamesGiveLocales)
{
    EXPECT_EQ(speechLocaleOf("English (UK)"), "en_GB");
    EXPECT_EQ(speechLocaleOf("English (US)"), "en_US");
    EXPECT_EQ(speechLocaleOf("german"), "de_DE");
    EXPECT_EQ(speechLocaleOf(" Deutsch "), "de_DE");
    EXPECT_EQ(speechLocaleOf("German (Austria)"), "de_AT");
    EXPECT_EQ(speechLocaleOf("Fran\xc7" "ais"), "fr_FR");
    EXPECT_EQ(speechLocaleOf("Klingon"), "");
    EXPECT_EQ(speechLocaleOf(""), "");
    EXPECT_EQ(speechLocaleOf("English (Mars"), "en_GB");
}

} // namespace zx::test
