// A main window with a test run attached, in temporary folders, with
// recorded waits, a fixed clock and random source, a large desktop and fake
// sound and video players; banks are packed by our own packer.
#pragma once

#include "shell_fixture.h"

#include "app/controller_windows.h"
#include "app/startup_actions.h"
#include "objects/qt_text.h"
#include "objects/zx_text.h"
#include "results/results_run.h"
#include "testrun/page_builder.h"
#include "testrun/test_run.h"
#include "tests/support/fake_video_player.h"
#include "tests/support/page_text.h"
#include "tools/bankpack/bank_packer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRect>

#include <cerrno>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace zx::test {

inline std::string testRunMessageLines()
{
    std::string lines = englishLines();
    for (int n = 21; n <= 119; ++n)
        if (n != 85)
            lines += (n < 100 ? "00" : "0") + std::to_string(n) + " message " + std::to_string(n) + "\r\n";
    lines += "0085 videoProblem\r\n";
    return lines;
}

// A question page with one typed-answer field (2 marks for `answer`).
inline std::string fieldQuestionPage(const std::string& question, const std::string& answer)
{
    return zx::testing::questionPage(
        question,
        "<ResultsText>" + question + "</ResultsText>"
        "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldWidth>100</FieldWidth><FieldHeight>20</FieldHeight>"
        "<editRestriction>0</editRestriction><userAnswer></userAnswer><FieldAnswer1>" + answer +
        "</FieldAnswer1><FieldMarkIfCorrect>2</FieldMarkIfCorrect><FieldName>-empty45646-</FieldName>"
        "<FieldResultsText>-empty45646-</FieldResultsText></zxField>\r\n");
}

class TestRunFixture : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        writeLanguage(QStringLiteral("English (UK)"), testRunMessageLines());
        startForm();
        TestRunOptions options;
        auto engine = std::make_shared<std::mt19937>(5);
        options.random = [engine] { return static_cast<std::uint32_t>((*engine)()); };
        options.clock = [this] { return m_now; };
        options.passwordDelay = [this](int ms) { m_passwordWaits << ms; };
        options.frameWait = [this](int ms) { m_frameWaits << ms; };
        options.desktop = [this] { return m_desktop; };
        options.makeVideoPlayer = FakeVideoPlayer::factory(m_videoLog);
        options.glideStep = [this](QWidget*) { ++m_glideSteps; };
        // A child process of a journal test shares its parent's folder.
        options.journalFolder = qEnvironmentVariableIsSet("ZX_JOURNAL_FOLDER")
                                    ? qEnvironmentVariable("ZX_JOURNAL_FOLDER")
                                    : m_dir.path() + QStringLiteral("/journal");
        options.journalIntervalMs = 0;
        options.journalFallbackBase = m_fallbackBase.isEmpty() ? m_dir.path() + QStringLiteral("/fallback") : m_fallbackBase;
        QDir().mkpath(m_dir.path() + QStringLiteral("/fallback"));
        // A disk that fills up when a test says so.
        options.journalWrite = [this](int fd, const void* data, std::size_t size) -> ssize_t {
            if (!m_diskFull)
                return ::write(fd, data, size);
            errno = ENOSPC;
            return -1;
        };
        m_run = std::make_unique<TestRun>(testRunWindow(*m_form), std::move(options));
        attachTestRun(*m_form, *m_run);
        m_results = std::make_unique<ResultsRun>(resultsRunWindow(*m_form), *m_run);
        StartupOptions startup;
        startup.playerOpensBanks = [this] { return m_playerOpensBanks; };
        m_startup = std::make_unique<StartupActions>(startupWindow(*m_form), *m_run, *m_results, startup);
    }
    void TearDown() override
    {
        m_startup.reset();
        m_results.reset();
        m_run.reset();
        ShellFixture::TearDown();
    }

    // The player stops (without closing: as in a crash).
    void stopRun()
    {
        m_startup.reset();
        m_results.reset();
        m_run.reset();
    }
    // A fresh window and test run on the same folders, as after a restart.
    void restart()
    {
        stopRun();
        m_form->setTestState(TestState::NoTest);
        TearDown();
        SetUp();
    }

    // Packs tests/data/banks/<name> (or a folder of ours) into a bank.
    QString packed(const QString& source)
    {
        const QString from = source.startsWith(QLatin1Char('/'))
                                 ? source
                                 : QStringLiteral(ZX_SOURCE_DIR "/tests/data/banks/") + source;
        const QString to = m_dir.path() + QStringLiteral("/") + QFileInfo(from).fileName() + QStringLiteral(".zxb");
        PackOptions options;
        options.requirePlayable = false;
        const PackResult result = packBank(localPath(from), localPath(to), options);
        EXPECT_TRUE(result.ok) << result.error;
        return to;
    }
    QString sampleBank() { return packed(QStringLiteral(ZX_SOURCE_DIR "/examples/sample-bank")); }

    // A bank of our own: settings and question pages, one picture file.
    // `addMedia` may put further files into the source's media folder.
    QString makeBank(const std::string& settings, const std::vector<std::string>& questions,
                     const std::vector<std::string>& preTest = {},
                     const std::function<void(const QString& mediaFolder)>& addMedia = {})
    {
        const QString src = m_dir.path() + QStringLiteral("/src%1").arg(++m_banks);
        QDir().mkpath(src + QStringLiteral("/pages"));
        QDir().mkpath(src + QStringLiteral("/media"));
        writeFile(src + QStringLiteral("/settings.txt"), settings);
        for (std::size_t i = 0; i < questions.size(); ++i)
            writeFile(src + QStringLiteral("/pages/q%1.txt").arg(i, 2, 10, QLatin1Char('0')), questions[i]);
        for (std::size_t i = 0; i < preTest.size(); ++i)
            writeFile(src + QStringLiteral("/pages/pre-%1.txt").arg(i, 2, 10, QLatin1Char('0')), preTest[i]);
        writeFile(src + QStringLiteral("/media/pic.bmp"), "BM0123456789abcdef");
        if (addMedia)
            addMedia(src + QStringLiteral("/media"));
        return packed(src);
    }
    static void writeFile(const QString& path, const std::string& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    static std::string page(const std::string& text, const std::string& extra = {})
    {
        return zx::testing::questionPage(text, extra);
    }
    // The text the i-th text object shows, as UTF-8.
    std::string shownText(int i = 0) const
    {
        zxText* text = m_run->page().text(i);
        return text && text->label() ? text->label()->text().toStdString() : std::string();
    }

    std::unique_ptr<TestRun> m_run;
    std::unique_ptr<ResultsRun> m_results;
    std::unique_ptr<StartupActions> m_startup;
    bool m_playerOpensBanks = true;
    // The journal's disk is full; the folder its fallbacks are made in.
    bool m_diskFull = false;
    QString m_fallbackBase;
    QList<int> m_passwordWaits;
    QList<int> m_frameWaits;
    QRect m_desktop{0, 0, 1920, 1080};
    int m_banks = 0;
    std::shared_ptr<FakeVideoLog> m_videoLog = std::make_shared<FakeVideoLog>();
    int m_glideSteps = 0;
    // The clock of the test run; tests move it on.
    QDateTime m_now{QDate(2026, 12, 6), QTime(14, 30, 5)};
};

} // namespace zx::test
