// A video on a page or a feedback panel: a panel in the desktop colour
// holding a video player with its own play and position bar.  ".swf"
// animations have no player on this platform; such a video, and a file the
// player cannot open or play (its first bytes not fitting its extension
// included), leave the empty panel and leave a note in the current page
// record under the key that message 85 names (message 86 or 87 as the
// value).
#pragma once

#include "objects/zx_object.h"

#include <QPointer>

#include <functional>
#include <memory>

class QFrame;

namespace zx {

class VideoPlayer;

class zxVideo : public zxObject {
public:
    using Resolver = std::function<std::string(const std::string&)>;

    // Message numbers of the note left in the page record.
    static constexpr int noteKeyMessage = 85;
    static constexpr int noMovieControlMessage = 86;
    static constexpr int cannotPlayMessage = 87;

    zxVideo(QWidget* parentWindow, std::string record, PageContext context = {});
    ~zxVideo() override;

    QFrame* panel() const { return m_panel.data(); }
    VideoPlayer* player() const { return m_player.get(); }

    // Shows the video on `parent` when its feedback id is `feedbackId`;
    // file names are resolved with `resolveBankFile` (the context's
    // resolver in the two-argument form).  On the page (id "0") the video
    // starts only when auto-play is on; inside a feedback panel it always
    // starts.
    void showFor(QWidget* parent, const std::string& feedbackId, Resolver resolveBankFile);
    void showFor(QWidget* parent, const std::string& feedbackId);
    // Closes the player and destroys the panel.
    void releaseControls();

private:
    void show(bool insideFeedback);
    void closePlayer();
    void playerFailed();
    void notePage(int valueMessage) const;

    QPointer<QFrame> m_panel;
    std::unique_ptr<VideoPlayer> m_player;
    Resolver m_resolve;
};

} // namespace zx
