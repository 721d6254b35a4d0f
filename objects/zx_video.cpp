#include "objects/zx_video.h"

#include "media/video_player.h"
#include "objects/picture_loader.h"
#include "objects/qt_text.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <QFile>
#include <QFrame>

#include <algorithm>

namespace zx {

namespace {

// The lower-cased extension of the file name at the end of `path`, with
// its dot; empty when the name has none.
std::string lowerExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c); });
    return extension;
}

// A message text used as a key or value of a tagged text: marks would cut
// the page record apart, so they are left out.
std::string withoutMarks(std::string text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '<' || c == '>'; }), text.end());
    return text;
}

} // namespace

zxVideo::zxVideo(QWidget* parentWindow, std::string record, PageContext context)
    : zxObject(parentWindow, std::move(record), std::move(context))
{
}

zxVideo::~zxVideo()
{
    releaseControls();
}

void zxVideo::showFor(QWidget* parent, const std::string& feedbackId, Resolver resolveBankFile)
{
    if (!takeParentFor(parent, feedbackId))
        return;
    m_resolve = std::move(resolveBankFile);
    show(feedbackId != "0");
}

void zxVideo::showFor(QWidget* parent, const std::string& feedbackId)
{
    showFor(parent, feedbackId, m_context.resolveBankFile);
}

void zxVideo::show(bool insideFeedback)
{
    if (!m_parentWindow)
        return;
    if (!m_panel) {
        // Position and size are read only here.
        m_panel = new QFrame(m_parentWindow.data());
        m_panel->setObjectName(QStringLiteral("videoPanel"));
        m_panel->setFrameStyle(QFrame::NoFrame);
        m_panel->setAutoFillBackground(true);
        QPalette palette = m_panel->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(desktopBackgroundRgb));
        m_panel->setPalette(palette);
        m_panel->setGeometry(getTagInt(m_record, "VideoLeft", 0), getTagInt(m_record, "VideoTop", 0),
                             getTagInt(m_record, "VideoWidth", 200), getTagInt(m_record, "VideoHeight", 200));
    } else {
        adoptControl(m_panel);
    }
    m_panel->show();

    const std::string stored = getTag(m_record, "videoFilePathAbs");
    const std::string file = m_resolve ? m_resolve(stored) : m_context.resolve(stored);
    const std::string extension = lowerExtension(file);
    if (!pictureFileExists(file)) {
        closePlayer();
    } else if (!mediaHeaderMatches(file)) {
        // First bytes that do not fit the extension: a file the player
        // cannot open, noted so that the author can find it.
        closePlayer();
        notePage(cannotPlayMessage);
    } else if (extension == ".swf") {
        // No animation player here: the panel stays empty.
        closePlayer();
        notePage(noMovieControlMessage);
    } else if (!m_player && m_context.makeVideoPlayer) {
        m_player = m_context.makeVideoPlayer();
        if (m_player) {
            QWidget* window = m_player->widget(m_panel.data());
            window->setGeometry(m_panel->rect());
            // The player's own play and position bar is always there, so
            // a video that does not start by itself can still be started.
            m_player->showControls(true);
            m_player->setFailureHandler([this] { playerFailed(); });
            window->show();
            if (!m_player->open(pathFromLocal(file))) {
                closePlayer();
                notePage(cannotPlayMessage);
            }
        }
    }

    // On the page a video starts only with auto-play on; in a feedback
    // panel always.  It then starts when "videoAutoStart" is 1 or
    // "videoShowControls" is 0; otherwise it waits for the candidate.
    if (!m_player || !(insideFeedback || m_context.autoPlay()))
        return;
    if (getTagInt(m_record, "videoAutoStart", 1) == 1 || getTagInt(m_record, "videoShowControls", 0) == 0) {
        m_player->seekToStart();
        m_player->play();
    }
}

void zxVideo::closePlayer()
{
    if (!m_player)
        return;
    m_player->setFailureHandler(nullptr);
    m_player->stop();
    m_player.reset();
}

void zxVideo::playerFailed()
{
    closePlayer();
    notePage(cannotPlayMessage);
}

void zxVideo::notePage(int valueMessage) const
{
    if (!m_context.notePageRecord)
        return;
    const std::string key = withoutMarks(m_context.message(noteKeyMessage));
    if (key.empty())
        return;
    m_context.notePageRecord(key, withoutMarks(m_context.message(valueMessage)));
}

void zxVideo::releaseControls()
{
    closePlayer();
    delete m_panel.data();
    m_panel = nullptr;
}

} // namespace zx
