#include "objects/zx_feedback.h"

#include "objects/core/feedback_rules.h"
#include "objects/picture_loader.h"
#include "objects/qt_text.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <QFrame>
#include <QGuiApplication>

#include <optional>
#include <vector>

namespace zx {

namespace {

// The frame of "FeedbackStyle"; other values keep the frame a new panel
// has (raised, no border).
void applyFrameStyle(QFrame& panel, int style)
{
    switch (style) {
    case 0: panel.setFrameStyle(QFrame::Panel | QFrame::Raised); break;
    case 1: panel.setFrameStyle(QFrame::Panel | QFrame::Sunken); break;
    case 2: panel.setFrameStyle(QFrame::Box | QFrame::Plain); break;
    case 3: panel.setFrameStyle(QFrame::NoFrame); break;
    default: break;
    }
}

} // namespace

zxFeedback::zxFeedback(QWidget* parentWindow, std::string record, PageContext context)
    : zxObject(parentWindow, std::move(record), std::move(context))
{
}

zxFeedback::~zxFeedback()
{
    // The panel goes with the panel object.  Hiding the content it showed
    // is the page's business when it is left (releaseControls).
    delete m_panel.data();
}

std::string zxFeedback::id() const { return getTag(m_record, "id"); }

void zxFeedback::show()
{
    m_soundPath.assign(1, '0');
    const std::string sound = m_context.resolve(getTag(m_record, "FeedbackAudioAbs"));
    if (pictureFileExists(sound) && mediaHeaderMatches(sound))
        m_soundPath = sound;

    if (!m_parentWindow)
        return;
    if (!m_panel) {
        m_panel = new QFrame(m_parentWindow.data());
        m_panel->setObjectName(QStringLiteral("feedbackPanel"));
        m_panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        m_panel->setLineWidth(1);
        m_panel->setAutoFillBackground(true);
    }
    m_panel->setGeometry(getTagInt(m_record, "FeedbackLeft", 0), getTagInt(m_record, "FeedbackTop", 0),
                         getTagInt(m_record, "FeedbackWidth", 20), getTagInt(m_record, "FeedbackHeight", 20));

    // A colour text that is no colour leaves the panel in the button face
    // colour; the panel and its content still appear.
    const QPalette application = QGuiApplication::palette();
    const QColor face = application.color(QPalette::Button);
    QPalette palette = m_panel->palette();
    palette.setColor(QPalette::Window,
                     colourFromRecordText(getTag(m_record, "FeedbackColor"), application, face).value_or(face));
    m_panel->setPalette(palette);
    applyFrameStyle(*m_panel, getTagInt(m_record, "FeedbackStyle", 0));
    m_panel->show();

    if (m_soundPath != "0" && m_context.playAudioFile)
        m_context.playAudioFile(m_soundPath);

    // Id "0" names the page's own objects, which never move into a panel.
    const std::string code = id();
    if (code != "0" && !code.empty() && m_context.revealFeedback)
        m_context.revealFeedback(code, m_panel.data());
}

void zxFeedback::releaseControls()
{
    const std::string code = id();
    if (code != "0" && !code.empty() && m_context.hideFeedback)
        m_context.hideFeedback(code);
    delete m_panel.data();
    m_panel = nullptr;
}

void selectFeedback(std::span<const std::unique_ptr<zxFeedback>> feedbacks, std::string_view bankSettings,
                    std::string_view pageRecord, int score, int worst, int best)
{
    std::vector<std::optional<FeedbackCriterion>> criteria;
    criteria.reserve(feedbacks.size());
    for (const std::unique_ptr<zxFeedback>& feedback : feedbacks) {
        if (feedback)
            criteria.emplace_back(FeedbackCriterion::fromRecord(feedback->record()));
        else
            criteria.emplace_back(std::nullopt);
    }
    const FeedbackChoice choice = chooseFeedback(bankSettings, pageRecord, criteria, score, worst, best);
    if (!choice.touchPanels)
        return;
    for (const std::unique_ptr<zxFeedback>& feedback : feedbacks) {
        if (feedback)
            feedback->releaseControls();
    }
    for (int slot : choice.shown)
        feedbacks[static_cast<std::size_t>(slot)]->show();
}

} // namespace zx
