// The clock of a timed test in the window: reads the test run's clock
// twice a second while the test runs, and tells the window the time left
// and the test run when a warning or the end is due.  All rules are
// TestTimer's; this only turns readings into signals.
#pragma once

#include "testrun/core/test_timer.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class QTimer;

namespace zx {

class TestClock : public QObject {
    Q_OBJECT
public:
    // `clock` gives the current time (empty: the system clock).
    explicit TestClock(std::function<QDateTime()> clock, QObject* parent = nullptr);

    // A test about to run with `allowance`, nothing used yet; or one taken
    // up again after `usedMs` and `notRunningMs`.  Not counting until
    // start().
    void reset(TimeAllowance allowance, std::int64_t usedMs = 0, std::int64_t notRunningMs = 0);
    // A test taken up again now after the journal's `time` (the time since
    // it was written counts as not running).  Not counting until start().
    void resume(TimeAllowance allowance, const TimeJournal& time);
    // Counts from now on (a test without a limit counts too, but never
    // shows or ends anything).
    void start();
    // Counts up to now and stops; the time stays as it is.
    void stop();
    // One reading of the clock (the timer's tick; tests call it).
    void tick();
    // The current time in milliseconds since the epoch.
    std::int64_t nowMs() const;

    const TestTimer& timer() const { return m_timer; }
    bool timed() const { return m_timer.timed(); }

signals:
    // The clock was read while the test runs (before any warning or end
    // the reading brings).
    void ticked();
    // The time left changed (whole seconds, rounded up).
    void timeLeftChanged(qint64 secondsLeft);
    // The message number of a warning due now (five minutes, one minute).
    void warningDue(int message);
    // No time is left; the clock has stopped.
    void timeUp();

private:
    void show(TestTimer timer);

    std::function<QDateTime()> m_clock;
    TestTimer m_timer;
    QTimer* m_ticks;
    qint64 m_shownSeconds = -1;
};

} // namespace zx
