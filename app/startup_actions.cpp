#include "app/startup_actions.h"

#include "app/core/command_verbs.h"
#include "app/file_association.h"
#include "app/startup_sequence.h"
#include "objects/qt_text.h"
#include "results/results_run.h"
#include "tagtext/stored_file.h"
#include "testrun/test_run.h"
#include "window/messages.h"
#include "window/page_window.h"
#include "window/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace zx {

namespace {

const QString warningSetting = QStringLiteral("registryWarningNeeded");

} // namespace

StartupActions::StartupActions(StartupWindow window, TestRun& run, ResultsRun& results, StartupOptions options)
    : m_window(std::move(window))
    , m_run(run)
    , m_results(results)
    , m_options(std::move(options))
{
    if (!m_options.playerOpensBanks)
        m_options.playerOpensBanks = [] { return playerOpensBanks(); };
    connect(&m_window.sequence, &StartupSequence::startupFinished, this, &StartupActions::continueStartup);
    connect(&m_window.sequence, &StartupSequence::alreadyRunningHandoff, this, &StartupActions::handoff);
    connect(&m_run, &TestRun::resumedFinished, this, [this] { m_resumedFinished = true; });
}

void StartupActions::continueStartup(const std::vector<std::string>& args)
{
    // A test that did not end comes first: the candidate may take it up.
    // The rest of the start-up follows all the same (a local-bank test
    // taken up again stores its results like any other); only the bank of
    // the test taken up is not opened a second time.
    m_resumedFinished = false;
    m_resumedBank = m_run.offerResume() ? m_run.bankPath() : QString();
    // A test taken up after its time was all used has just finished: its
    // results are stored like those of a finished test taken up.
    if (!m_resumedBank.isEmpty() && m_run.window().page.testState() == TestState::Finished)
        m_resumedFinished = true;
    if (args.size() >= 2 && isVerb(args[0])) {
        obey(args[0], args[1], true, m_extraTimePercent);
    } else {
        warnAboutFileTypes();
        if (!openStartupBankFile())
            enterLocalBankMode();
    }
    m_resumedBank.clear();
    m_resumedFinished = false;
}

void StartupActions::handoff(const Handoff& handoff)
{
    // A file that went away between the two starts changes nothing.
    if (!QFileInfo(pathFromLocal(handoff.path)).isFile())
        return;
    obey(handoff.verb, handoff.path, false, handoff.extraTimePercent);
}

void StartupActions::openBank(const QString& path, int extraTimePercent)
{
    if (!m_resumedBank.isEmpty() && QFileInfo(path).canonicalFilePath() == QFileInfo(m_resumedBank).canonicalFilePath())
        return;
    m_run.setExtraTime(extraTimePercent);
    m_run.openBank(path);
}

void StartupActions::obey(const std::string& verb, const std::string& path, bool atStart, int extraTimePercent)
{
    const QString file = pathFromLocal(path);
    switch (verbAction(verb, path)) {
    case VerbAction::None:
        break;
    case VerbAction::OpenBank:
        openBank(file, extraTimePercent);
        break;
    case VerbAction::OpenResults:
        m_results.loadResultsFile(file);
        break;
    case VerbAction::RefusePrintBank:
        m_window.messages.announceMessage(20);
        m_window.messages.prompts().inform(m_window.messages.message(20));
        break;
    case VerbAction::Ignored:
        m_window.messages.announceMessage(20);
        break;
    case VerbAction::PrintResults:
        m_window.messages.announceMessage(20);
        // Only results that opened are printed; a file that did not open
        // leaves its message on the screen instead of printing an empty
        // window.
        if (!m_results.loadResultsFile(file))
            break;
        m_results.Print1Click();
        if (atStart)
            m_window.window->close();
        break;
    }
}

void StartupActions::warnAboutFileTypes()
{
    SettingsStore& settings = m_window.settings;
    if (!settings.readBoolean(warningSetting, true))
        return;
    if (!m_options.playerOpensBanks()) {
        // Spoken whatever the Audio Messages option says.
        m_window.messages.playMessageAudio(QStringLiteral("x104"));
        m_window.messages.prompts().warn(m_window.messages.message(104));
    }
    settings.writeBoolean(warningSetting, false);
}

bool StartupActions::openStartupBankFile()
{
    const QString file = m_window.programFolder + QStringLiteral("/ZXX.txt");
    if (!QFileInfo(file).isFile())
        return false;
    const std::string content = readStoredFile(localPath(file));
    QFile::remove(file);
    openBank(pathFromLocal(startupBankPath(content)), m_extraTimePercent);
    return true;
}

void StartupActions::enterLocalBankMode()
{
    const QString folder = m_window.programFolder;
    std::vector<std::string> names;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        names.push_back(localPath(name));
    const auto bank = localBankName(std::move(names));
    if (!bank)
        return;
    QString results = pathFromLocal(localResultsFolder(localPath(folder)));
    bool automatic = false;
    if (QFileInfo(results).isDir()) {
        if (writeStoredFile("xx", localPath(results + QStringLiteral("test.txt")))) {
            automatic = true;
        } else {
            m_window.messages.announceMessage(98);
            m_window.messages.prompts().inform(m_window.messages.message(98));
            results.clear();
        }
    }
    m_results.setResultsFolder(results);
    m_window.enterLocalBankMode(automatic);
    if (m_resumedFinished)
        m_results.storeAutomatically();
    openBank(folder + QLatin1Char('/') + pathFromLocal(*bank), m_extraTimePercent);
}

} // namespace zx
