#include "testrun/test_clock.h"

#include <QTimer>

namespace zx {

namespace {

constexpr int tickMs = 500;

} // namespace

TestClock::TestClock(std::function<QDateTime()> clock, QObject* parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_ticks(new QTimer(this))
{
    m_ticks->setInterval(tickMs);
    connect(m_ticks, &QTimer::timeout, this, &TestClock::tick);
}

std::int64_t TestClock::nowMs() const
{
    return (m_clock ? m_clock() : QDateTime::currentDateTime()).toMSecsSinceEpoch();
}

void TestClock::reset(TimeAllowance allowance, std::int64_t usedMs, std::int64_t notRunningMs)
{
    show(TestTimer(allowance, usedMs, notRunningMs));
}

void TestClock::resume(TimeAllowance allowance, const TimeJournal& time)
{
    show(resumedTimer(allowance, time, nowMs()));
}

void TestClock::show(TestTimer timer)
{
    m_ticks->stop();
    m_timer = timer;
    m_shownSeconds = -1;
    if (m_timer.timed()) {
        m_shownSeconds = m_timer.secondsLeft();
        emit timeLeftChanged(m_shownSeconds);
    }
}

void TestClock::start()
{
    m_timer.start(nowMs());
    if (m_timer.timed())
        m_ticks->start();
    tick();
}

void TestClock::stop()
{
    m_ticks->stop();
    if (m_timer.running())
        m_timer.stop(nowMs());
}

void TestClock::tick()
{
    if (!m_timer.running())
        return;
    const TimerEvent event = m_timer.update(nowMs());
    if (!m_timer.timed())
        return;
    emit ticked();
    if (m_timer.secondsLeft() != m_shownSeconds) {
        m_shownSeconds = m_timer.secondsLeft();
        emit timeLeftChanged(m_shownSeconds);
    }
    switch (event) {
    case TimerEvent::FiveMinutesLeft:
        emit warningDue(fiveMinutesLeftMessage);
        break;
    case TimerEvent::OneMinuteLeft:
        emit warningDue(oneMinuteLeftMessage);
        break;
    case TimerEvent::TimeUp:
        stop();
        emit timeUp();
        break;
    case TimerEvent::None:
        break;
    }
}

} // namespace zx
