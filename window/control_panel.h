// The control panel below the page: Auto Play, Help, a timed test's time
// left, the question slider, Start, Cheat, Mark and Finish, placed and enabled as a ControlPanelPlan
// says, announcing what the user does with them.
//
// The object names of the controls (FinishButton, questionSlider, ...) are
// the keys by which language files address them: they must not change.
#pragma once

#include "app/core/control_panel_plan.h"
#include "app/core/keyboard_map.h"

#include <QFrame>

#include <functional>
#include <vector>

class QCheckBox;
class QPushButton;
class QScrollBar;

namespace zx {

class TimeLeftDisplay;

class zxObject;

class ControlPanel : public QFrame {
    Q_OBJECT
public:
    // `messageText` gives interface message n (Cheat's caption).
    ControlPanel(std::function<QString(int)> messageText, QWidget* parent);

    // The plan for this panel's width.
    ControlPanelPlan planFor(PanelStage stage, const BankSettings& rules) const;
    // Places, shows and enables the controls as the plan says; the slider's
    // enabled state goes with the question range, the Start button's with
    // setStartButtonShown.
    void apply(const ControlPanelPlan& plan);
    // Disables Finish, Mark, Cheat and the question slider, wherever they are.
    void disableTestControls();
    // The slider's range 0..maximum and its position, set without a page
    // change; `enabled` lets the candidate move it.
    void setQuestionRange(int maximum, int position, bool enabled);
    void setQuestionSliderEnabled(bool enabled);
    // The Start button: hidden and disabled, or shown, enabled, in front.
    void setStartButtonShown(bool shown);
    // Draws the attention frame with `service` around the Start button or
    // the question slider, on the panel they stand on.
    void frameStartButton(const zxObject& service);
    void frameQuestionSlider(const zxObject& service);
    void setAutoPlay(bool checked, bool enabled);
    void setAutoPlayChecked(bool checked);
    bool autoPlayOn() const;
    // The time left of a timed test, of the whole `secondsAllowed`.
    void setTimeLeft(qint64 secondsLeft, qint64 secondsAllowed);
    // The name screen readers give the question slider.
    void setSliderAccessibleName(const QString& name);

    // ---- for the keyboard
    // Whether the slider, Mark, Finish or Cheat that `command` works is
    // shown and enabled.
    bool commandAvailable(KeyCommand command) const;
    // Works the control of `command` as the pointer does: Mark and Finish
    // are clicked, the slider moves (and announces questionSliderScroll).
    void runCommand(KeyCommand command);
    // Holds Cheat down (announcing CheatButtonMouseDown) or lets it go.
    void holdCheat(bool down);
    // The controls that take Tab now, from left to right.
    std::vector<QWidget*> tabStops() const;

signals:
    void StartButtonClick();
    void FinishButtonClick();
    void MarkButClick();
    void CheatButtonMouseDown();
    void CheatButtonMouseUp(); // also the Help button's release
    void HelpButtonClick();
    void questionSliderScroll(int position);
    void AutoPlayClick();
    // A control a key works was shown, hidden, enabled or disabled.
    void commandsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* button(const char* name, const QString& caption);

    std::function<QString(int)> m_messageText;
    QScrollBar* m_questionSlider = nullptr;
    QCheckBox* m_autoPlay = nullptr;
    QPushButton* m_finishButton = nullptr;
    QPushButton* m_markButton = nullptr;
    QPushButton* m_cheatButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_startButton = nullptr;
    TimeLeftDisplay* m_timeLeft = nullptr;
};

} // namespace zx
