// The player's journal of the test in progress (testrun/core/journal.h):
// where it is kept, whether this player may keep it, and what the examiner
// is told when it cannot be kept or written.
//
// The folder is the wanted one ("$XDG_STATE_HOME/zxexam") when it is (or
// can be made) a private folder; otherwise a per-user folder
// "<temp>/zxexam-journal-<uid>", otherwise a fresh private folder; never an
// empty path.  The folder's lock is held for the keeper's life: a second
// player of the same user finds it taken and keeps no journal, never
// offering or touching the first one's.
#pragma once

#include "testrun/core/journal.h"

#include <QString>

#include <functional>
#include <memory>

namespace zx {

struct JournalKeeperOptions {
    // The folder wanted; empty: "$XDG_STATE_HOME/zxexam".
    QString folder;
    // Where the fallback folders are made; empty: the temporary folder.
    QString fallbackBase;
    RandomSource random;
    // The system's write(2), or a failing one in tests.
    WriteCall write;
    // Tells the examiner: caption and text message numbers.
    std::function<void(int caption, int text)> tell;
    // The whole test, for a new base after a failed write.
    std::function<JournalRecord()> record;
};

class JournalKeeper {
public:
    enum class Availability { Kept, NoFolder, OtherPlayer };

    explicit JournalKeeper(JournalKeeperOptions options);

    Availability availability() const { return m_availability; }
    // The folder in use; empty when no journal is kept.
    const QString& folder() const { return m_folder; }
    // The journal; null when none is kept.
    Journal* journal() { return m_journal.get(); }

    // A test begins: true when it is journalled.  When no journal can be
    // kept, the examiner is told (once in the player's life).
    bool begin();
    // The whole test as a new base.
    void writeBase(const JournalRecord& record);
    // One page entry (after a failed write, a whole base first); a log
    // grown large is taken into a new base.  `extra` fields follow the page.
    void appendPage(int question, std::string_view pageText, int currentQuestion, std::string_view savedAt,
                    const JournalFieldList& extra = {});
    void clear();

private:
    void note(bool ok, bool wasBase);

    JournalKeeperOptions m_options;
    Availability m_availability = Availability::NoFolder;
    QString m_folder;
    std::unique_ptr<Journal> m_journal;
    JournalHealth m_health;
    bool m_toldUnavailable = false;
};

} // namespace zx
