#include "window/control_panel.h"

#include "objects/zx_object.h"
#include "testrun/core/test_timer.h"
#include "window/time_left_display.h"

#include <QCheckBox>
#include <QEvent>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace zx {

ControlPanel::ControlPanel(std::function<QString(int)> messageText, QWidget* parent)
    : QFrame(parent)
    , m_messageText(std::move(messageText))
{
    setObjectName(QStringLiteral("ControlPanel"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);

    m_autoPlay = new QCheckBox(QStringLiteral("Auto Play"), this);
    m_autoPlay->setObjectName(QStringLiteral("AutoPlay"));
    m_autoPlay->setChecked(true);
    connect(m_autoPlay, &QCheckBox::clicked, this, &ControlPanel::AutoPlayClick);

    m_questionSlider = new QScrollBar(Qt::Horizontal, this);
    m_questionSlider->setObjectName(QStringLiteral("questionSlider"));
    m_questionSlider->setRange(0, 0);
    m_questionSlider->setPageStep(1);
    m_questionSlider->setEnabled(false);
    m_questionSlider->setFocusPolicy(Qt::TabFocus);
    connect(m_questionSlider, &QScrollBar::valueChanged, this, &ControlPanel::questionSliderScroll);

    m_startButton = button("StartButton", QStringLiteral("Start"));
    m_startButton->setEnabled(false);
    m_startButton->hide();
    connect(m_startButton, &QPushButton::clicked, this, &ControlPanel::StartButtonClick);
    m_finishButton = button("FinishButton", QStringLiteral("Finish"));
    m_markButton = button("MarkButton", QStringLiteral("Mark"));
    m_cheatButton = button("CheatButton", QStringLiteral("Cheat"));
    m_helpButton = button("HelpButton", QStringLiteral("Help"));
    m_finishButton->setEnabled(false);
    m_markButton->setEnabled(false);
    m_cheatButton->setEnabled(false);
    connect(m_helpButton, &QPushButton::clicked, this, &ControlPanel::HelpButtonClick);
    connect(m_finishButton, &QPushButton::clicked, this, &ControlPanel::FinishButtonClick);
    connect(m_markButton, &QPushButton::clicked, this, &ControlPanel::MarkButClick);
    connect(m_cheatButton, &QPushButton::pressed, this, &ControlPanel::CheatButtonMouseDown);
    connect(m_cheatButton, &QPushButton::released, this, &ControlPanel::CheatButtonMouseUp);
    connect(m_helpButton, &QPushButton::released, this, &ControlPanel::CheatButtonMouseUp);
    m_timeLeft = new TimeLeftDisplay(this);

    for (QWidget* control : {static_cast<QWidget*>(m_questionSlider), static_cast<QWidget*>(m_markButton),
                             static_cast<QWidget*>(m_finishButton), static_cast<QWidget*>(m_cheatButton)})
        control->installEventFilter(this);
}

QPushButton* ControlPanel::button(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    // Reached by Tab; a click leaves the focus where it was.
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

ControlPanelPlan ControlPanel::planFor(PanelStage stage, const BankSettings& rules) const
{
    return planControlPanel(width(), stage, rules);
}

namespace {

void placeControl(QWidget* control, const PanelControl& place)
{
    control->setGeometry(place.left, place.top, place.width, place.height);
    control->setVisible(place.visible);
}

} // namespace

void ControlPanel::apply(const ControlPanelPlan& plan)
{
    placeControl(m_autoPlay, plan.autoPlay);
    placeControl(m_helpButton, plan.help);
    placeControl(m_finishButton, plan.finish);
    placeControl(m_markButton, plan.mark);
    placeControl(m_cheatButton, plan.cheat);
    placeControl(m_timeLeft, plan.timeLeft);
    m_finishButton->setEnabled(plan.finish.enabled);
    m_markButton->setEnabled(plan.mark.enabled);
    m_cheatButton->setEnabled(plan.cheat.enabled);
    if (plan.cheatCaption > 0 && m_messageText)
        m_cheatButton->setText(m_messageText(plan.cheatCaption));
    m_questionSlider->setGeometry(plan.slider.left, plan.slider.top, plan.slider.width, plan.slider.height);
    m_startButton->setGeometry(plan.start.left, plan.start.top, plan.start.width, plan.start.height);
}

void ControlPanel::disableTestControls()
{
    for (QWidget* control : {static_cast<QWidget*>(m_finishButton), static_cast<QWidget*>(m_markButton),
                             static_cast<QWidget*>(m_cheatButton), static_cast<QWidget*>(m_questionSlider)})
        control->setEnabled(false);
}

void ControlPanel::setQuestionRange(int maximum, int position, bool enabled)
{
    const QSignalBlocker quiet(m_questionSlider);
    m_questionSlider->setMaximum(maximum);
    m_questionSlider->setValue(position);
    m_questionSlider->setEnabled(enabled);
}

void ControlPanel::setQuestionSliderEnabled(bool enabled) { m_questionSlider->setEnabled(enabled); }

void ControlPanel::setStartButtonShown(bool shown)
{
    m_startButton->setEnabled(shown);
    m_startButton->setVisible(shown);
    if (shown)
        m_startButton->raise();
}

void ControlPanel::frameStartButton(const zxObject& service)
{
    const QRect r = m_startButton->geometry();
    service.attentionFrame(r.x(), r.y(), m_startButton->parentWidget(), r.height(), r.width());
}

void ControlPanel::frameQuestionSlider(const zxObject& service)
{
    const QRect r = m_questionSlider->geometry();
    service.attentionFrame(r.x(), r.y(), m_questionSlider->parentWidget(), r.height(), r.width());
}

void ControlPanel::setAutoPlay(bool checked, bool enabled)
{
    m_autoPlay->setChecked(checked);
    m_autoPlay->setEnabled(enabled);
}

void ControlPanel::setAutoPlayChecked(bool checked) { m_autoPlay->setChecked(checked); }

bool ControlPanel::autoPlayOn() const { return m_autoPlay->isChecked(); }

void ControlPanel::setTimeLeft(qint64 secondsLeft, qint64 secondsAllowed)
{
    if (m_messageText)
        m_timeLeft->setTexts(m_messageText(timeLeftNameMessage), m_messageText(timeLeftHintMessage));
    m_timeLeft->showTimeLeft(secondsLeft, secondsAllowed);
}

void ControlPanel::setSliderAccessibleName(const QString& name) { m_questionSlider->setAccessibleName(name); }

bool ControlPanel::commandAvailable(KeyCommand command) const
{
    auto live = [this](const QWidget* control) { return control->isVisibleTo(window()) && control->isEnabled(); };
    switch (command) {
    case KeyCommand::NextQuestion:
    case KeyCommand::PreviousQuestion:
    case KeyCommand::FirstQuestion:
    case KeyCommand::LastQuestion:
        return live(m_questionSlider);
    case KeyCommand::Mark:
        return live(m_markButton);
    case KeyCommand::Finish:
        return live(m_finishButton);
    case KeyCommand::Cheat:
        return live(m_cheatButton);
    default:
        return false;
    }
}

void ControlPanel::runCommand(KeyCommand command)
{
    if (!commandAvailable(command))
        return;
    switch (command) {
    case KeyCommand::Mark:
        m_markButton->click();
        break;
    case KeyCommand::Finish:
        m_finishButton->click();
        break;
    case KeyCommand::Cheat:
        break;
    default:
        // The slider moves as under the pointer, and its move announces
        // questionSliderScroll.
        m_questionSlider->setValue(
            questionSliderTarget(command, m_questionSlider->value(), m_questionSlider->maximum()));
        break;
    }
}

void ControlPanel::holdCheat(bool down)
{
    m_cheatButton->setDown(down);
    if (down)
        emit CheatButtonMouseDown();
    else
        emit CheatButtonMouseUp();
}

std::vector<QWidget*> ControlPanel::tabStops() const
{
    std::vector<QWidget*> stops;
    for (QWidget* control : {static_cast<QWidget*>(m_autoPlay), static_cast<QWidget*>(m_helpButton),
                             static_cast<QWidget*>(m_timeLeft), static_cast<QWidget*>(m_questionSlider), static_cast<QWidget*>(m_startButton),
                             static_cast<QWidget*>(m_cheatButton), static_cast<QWidget*>(m_markButton),
                             static_cast<QWidget*>(m_finishButton)})
        if (control->isVisibleTo(window()) && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus))
            stops.push_back(control);
    std::stable_sort(stops.begin(), stops.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    return stops;
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        emit commandsChanged();
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace zx
