#include "testrun/journal_keeper.h"

#include "window/working_folder.h"
#include "objects/qt_text.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace zx {

namespace {

// Message numbers of what the examiner is told.
constexpr int captionNotKept = 120;
constexpr int textNoFolder = 121;
constexpr int textOtherPlayer = 122;
constexpr int textFailing = 123;
constexpr int textRecovered = 124;

QString wantedFolder(const QString& given)
{
    if (!given.isEmpty())
        return given;
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    return (state.startsWith(QLatin1Char('/')) ? state : QDir::homePath() + QStringLiteral("/.local/state"))
           + QStringLiteral("/zxexam");
}

QString privateJournalFolder(const QString& wanted, const QString& fallbackBase)
{
    QDir().mkpath(QFileInfo(wanted).absolutePath());
    QString folder = WorkingFolder::ensurePrivateFolder(wanted);
    if (!folder.isEmpty())
        return folder;
    // Not private (a link, open to others) or not possible there: a folder
    // of this user's own that a restart finds again, else a fresh one.
    folder = WorkingFolder::ensurePrivateFolder(fallbackBase + QStringLiteral("/zxexam-journal-")
                                                + QString::number(::geteuid()));
    if (!folder.isEmpty())
        return folder;
    return WorkingFolder::makeFreshPrivateFolder(fallbackBase, QStringLiteral("zxexam-journal-"));
}

} // namespace

JournalKeeper::JournalKeeper(JournalKeeperOptions options)
    : m_options(std::move(options))
{
    const QString fallbackBase = m_options.fallbackBase.isEmpty() ? QDir::tempPath() : m_options.fallbackBase;
    const QString folder = privateJournalFolder(wantedFolder(m_options.folder), fallbackBase);
    if (folder.isEmpty())
        return;
    auto journal = std::make_unique<Journal>(localPath(folder), m_options.random, m_options.write);
    switch (journal->takeLock()) {
    case JournalLock::Taken:
        m_availability = Availability::Kept;
        m_folder = folder;
        m_journal = std::move(journal);
        break;
    case JournalLock::HeldElsewhere:
        m_availability = Availability::OtherPlayer;
        break;
    case JournalLock::Failed:
        break;
    }
}

bool JournalKeeper::begin()
{
    if (m_journal)
        return true;
    if (!m_toldUnavailable && m_options.tell) {
        m_toldUnavailable = true;
        m_options.tell(captionNotKept, m_availability == Availability::OtherPlayer ? textOtherPlayer : textNoFolder);
    }
    return false;
}

void JournalKeeper::writeBase(const JournalRecord& record)
{
    if (m_journal)
        note(m_journal->writeBase(record), true);
}

void JournalKeeper::appendPage(int question, std::string_view pageText, int currentQuestion,
                               std::string_view savedAt, const JournalFieldList& extra)
{
    if (!m_journal)
        return;
    // A long test gathers many entries: now and then the whole test is
    // written anew and the log starts again.
    constexpr std::uint64_t largestLog = 8u * 1024 * 1024;
    // After a failed write the whole test goes first (the entry that
    // failed may have been another page's), then this page's entry.
    if (m_health.baseDue() && m_options.record) {
        const bool written = m_journal->writeBase(m_options.record());
        note(written, true);
        if (!written)
            return;
    }
    note(m_journal->appendPage(question, pageText, currentQuestion, savedAt, extra), false);
    if (m_journal->logSize() > largestLog && m_options.record)
        writeBase(m_options.record());
}

void JournalKeeper::clear()
{
    if (m_journal)
        m_journal->clear();
}

void JournalKeeper::note(bool ok, bool wasBase)
{
    const JournalHealth::Notice notice = m_health.written(ok, wasBase);
    if (notice == JournalHealth::Notice::None || !m_options.tell)
        return;
    m_options.tell(captionNotKept, notice == JournalHealth::Notice::Failing ? textFailing : textRecovered);
}

} // namespace zx
