#include "window/time_left_display.h"

#include "testrun/core/test_timer.h"

#include <algorithm>
#include <climits>

namespace zx {

TimeLeftDisplay::TimeLeftDisplay(QWidget* parent)
    : QProgressBar(parent)
{
    setObjectName(QStringLiteral("TimeLeft"));
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
    // Reached by Tab, so that a screen reader can read it out on demand.
    setFocusPolicy(Qt::TabFocus);
    setRange(0, 1);
    setValue(0);
    hide();
}

void TimeLeftDisplay::showTimeLeft(qint64 secondsLeft, qint64 secondsAllowed)
{
    m_secondsLeft = std::max<qint64>(secondsLeft, 0);
    // The bar counts in seconds; allowances beyond its range (more than 68
    // years) are never set.
    const int allowed = static_cast<int>(std::clamp<qint64>(secondsAllowed, 1, INT_MAX));
    setRange(0, allowed);
    // setValue repaints and tells screen readers when the value changed.
    setValue(static_cast<int>(std::min<qint64>(m_secondsLeft, allowed)));
    update();
}

void TimeLeftDisplay::setTexts(const QString& name, const QString& hint)
{
    if (accessibleName() != name)
        setAccessibleName(name);
    if (toolTip() != hint)
        setToolTip(hint);
}

QString TimeLeftDisplay::text() const { return QString::fromStdString(formatTimeLeft(m_secondsLeft)); }

} // namespace zx
