#include "window/time_left_display.h"

#include "testrun/core/test_timer.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include <algorithm>
#include <climits>

namespace zx {

namespace {

// A progress bar whose value a screen reader reads as the panel shows it
// ("29:59", not "1799").
class TimeLeftAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TimeLeftAccessible(TimeLeftDisplay* display)
        : QAccessibleWidget(display, QAccessible::ProgressBar)
    {
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Value ? display()->text() : QAccessibleWidget::text(type);
    }
    QVariant currentValue() const override { return display()->value(); }
    void setCurrentValue(const QVariant&) override {} // it takes no input
    QVariant maximumValue() const override { return display()->maximum(); }
    QVariant minimumValue() const override { return display()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    TimeLeftDisplay* display() const { return static_cast<TimeLeftDisplay*>(widget()); }
};

QAccessibleInterface* timeLeftAccessibleFactory(const QString&, QObject* object)
{
    if (auto* display = qobject_cast<TimeLeftDisplay*>(object))
        return new TimeLeftAccessible(display);
    return nullptr;
}

} // namespace

TimeLeftDisplay::TimeLeftDisplay(QWidget* parent)
    : QProgressBar(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(timeLeftAccessibleFactory);
        return true;
    }();
    (void)installed;
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
