// The time left of a timed test on the control panel: a bar that empties
// as the time runs, with the time written on it ("29:59", "01:30:00").
// Screen readers get it as a progress bar named "Time left" whose value is
// the seconds left and whose text is the time as shown.
#pragma once

#include <QProgressBar>

namespace zx {

class TimeLeftDisplay : public QProgressBar {
    Q_OBJECT
public:
    explicit TimeLeftDisplay(QWidget* parent = nullptr);

    // The whole allowance (the full bar) and the seconds left of it.
    void showTimeLeft(qint64 secondsLeft, qint64 secondsAllowed);
    qint64 secondsLeft() const { return m_secondsLeft; }
    // The name screen readers give it and its hint, in the interface language.
    void setTexts(const QString& name, const QString& hint);

    QString text() const override;

private:
    qint64 m_secondsLeft = 0;
};

} // namespace zx
