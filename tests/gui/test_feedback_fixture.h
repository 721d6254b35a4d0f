// A small page for the feedback and video tests: texts, pictures, shapes,
// videos and feedback panels on a plain widget, revealed and hidden by
// feedback id the way the page builder does it, with the fake video
// player, a sound player on the fake sound backend, and a page record
// that collects the notes the videos leave.
#pragma once

#include "tests/support/fake_sound_backend.h"
#include "tests/support/fake_video_player.h"
#include "media/sound_player.h"
#include "objects/zx_feedback.h"
#include "objects/zx_picture.h"
#include "objects/zx_shape.h"
#include "objects/zx_text.h"
#include "objects/zx_video.h"
#include "tagtext/tagged_text.h"
#include "test_page_objects_fixture.h"

#include <QFile>

#include <array>
#include <map>

namespace zx::testing {

class FeedbackPageTest : public PageObjectsTest {
protected:
    void SetUp() override
    {
        PageObjectsTest::SetUp();
        auto backend = std::make_unique<FakeSoundBackend>();
        m_soundBackend = backend.get();
        m_sound = std::make_unique<SoundPlayer>(std::move(backend));
        m_messages = {{85, "VideoNote"}, {86, "No Flash player"}, {87, "Video cannot be played"}};
    }

    void TearDown() override { leavePage(); }

    PageContext pageContext()
    {
        PageContext c = context();
        c.playAudioFile = [this](const std::string& file) {
            // As the main window does: a new sound stops the one before.
            m_sound->open(QString::fromStdString(file));
            m_sound->play();
        };
        c.revealFeedback = [this](const std::string& code, QWidget* parent) { revealFeedback(code, parent); };
        c.hideFeedback = [this](const std::string& code) { hideFeedback(code); };
        c.makeVideoPlayer = FakeVideoPlayer::factory(m_videoLog);
        c.autoPlayOn = [this] { return m_autoPlay; };
        c.messageText = [this](int number) {
            const auto found = m_messages.find(number);
            return found == m_messages.end() ? std::string() : found->second;
        };
        c.notePageRecord = [this](const std::string& key, const std::string& value) {
            m_pageRecord = setTag(m_pageRecord, key, value);
        };
        return c;
    }

    // Adds an object as the page builder would create it.
    zxText& addText(std::string record)
    {
        return *m_texts.emplace_back(std::make_unique<zxText>(m_page.get(), std::move(record), pageContext()));
    }
    zxPicture& addPicture(std::string record)
    {
        return *m_pictures.emplace_back(std::make_unique<zxPicture>(m_page.get(), std::move(record), pageContext()));
    }
    zxShape& addShape(std::string record)
    {
        return *m_shapes.emplace_back(std::make_unique<zxShape>(m_page.get(), std::move(record), pageContext()));
    }
    zxVideo& addVideo(std::string record)
    {
        return *m_videos.emplace_back(std::make_unique<zxVideo>(m_page.get(), std::move(record), pageContext()));
    }
    zxFeedback& addFeedback(std::string record)
    {
        for (auto& slot : m_feedbacks) {
            if (!slot) {
                slot = std::make_unique<zxFeedback>(m_page.get(), std::move(record), pageContext());
                return *slot;
            }
        }
        throw std::runtime_error("no free feedback slot");
    }

    // The page's own objects: layers 9 down to 0, then the videos.
    void buildPage()
    {
        for (int layer = 9; layer >= 0; --layer) {
            for (auto& picture : m_pictures)
                picture->showFor(layer, m_page.get(), "0");
            for (auto& shape : m_shapes)
                shape->showFor(layer, m_page.get(), "0");
            for (auto& text : m_texts)
                text->showFor(layer, m_page.get(), "0");
        }
        for (auto& video : m_videos)
            video->showFor(m_page.get(), "0");
    }

    void revealFeedback(const std::string& code, QWidget* parent)
    {
        m_reveals.push_back(code);
        for (int layer = 9; layer >= 0; --layer) {
            for (auto& picture : m_pictures)
                picture->showFor(layer, parent, code);
            for (auto& shape : m_shapes)
                shape->showFor(layer, parent, code);
            for (auto& text : m_texts)
                text->showFor(layer, parent, code);
        }
        for (auto& video : m_videos)
            video->showFor(parent, code);
    }

    void hideFeedback(const std::string& code)
    {
        m_hides.push_back(code);
        for (auto& picture : m_pictures)
            if (picture->feedbackId() == code)
                picture->releaseControls();
        for (auto& shape : m_shapes)
            if (shape->feedbackId() == code)
                shape->releaseControls();
        for (auto& text : m_texts)
            if (text->feedbackId() == code)
                text->releaseControls();
        for (auto& video : m_videos)
            if (video->feedbackId() == code)
                video->releaseControls();
    }

    void mark(int score, int worst, int best)
    {
        selectFeedback(m_feedbacks, m_bankSettings, m_pageRecord, score, worst, best);
    }

    // The ids of the feedbacks whose panels show, in slot order.
    std::vector<std::string> shownIds() const
    {
        std::vector<std::string> ids;
        for (const auto& feedback : m_feedbacks)
            if (feedback && feedback->panel() && feedback->panel()->isVisibleTo(m_page.get()))
                ids.push_back(feedback->id());
        return ids;
    }

    void leavePage()
    {
        for (auto& text : m_texts)
            text->releaseControls();
        for (auto& picture : m_pictures)
            picture->releaseControls();
        for (auto& feedback : m_feedbacks)
            if (feedback)
                feedback->releaseControls();
        for (auto& shape : m_shapes)
            shape->releaseControls();
        for (auto& video : m_videos)
            video->releaseControls();
        m_texts.clear();
        m_pictures.clear();
        m_shapes.clear();
        m_videos.clear();
        for (auto& feedback : m_feedbacks)
            feedback.reset();
    }

    // A few bytes that pass the header check of ".wav" (and ".avi").
    std::string riffFile(const char* name) { return write(name, QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16)); }

    std::vector<std::unique_ptr<zxText>> m_texts;
    std::vector<std::unique_ptr<zxPicture>> m_pictures;
    std::vector<std::unique_ptr<zxShape>> m_shapes;
    std::vector<std::unique_ptr<zxVideo>> m_videos;
    std::array<std::unique_ptr<zxFeedback>, 20> m_feedbacks;

    std::string m_bankSettings = "<ShowFeedback>1</ShowFeedback>";
    std::string m_pageRecord = "<windowSize>1</windowSize>";
    std::vector<std::string> m_reveals;
    std::vector<std::string> m_hides;
    std::shared_ptr<FakeVideoLog> m_videoLog = std::make_shared<FakeVideoLog>();
    FakeSoundBackend* m_soundBackend = nullptr;
    std::unique_ptr<SoundPlayer> m_sound;
    std::map<int, std::string> m_messages;
    bool m_autoPlay = false;
};

} // namespace zx::testing
