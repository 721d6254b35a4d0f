// What page objects need from the main window, handed to each object when
// the page builder creates it.  Objects never reach the main window itself,
// so they can be built on any plain widget (tests do exactly that).  Every
// member may be left empty; an empty member behaves as described beside it.
#pragma once

#include "objects/core/test_state.h"

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace zx {

class VideoPlayer;

struct PageContext {
    // Maps a file name used by a page to its copy in the working folder.
    // Empty: the name is used as it stands.
    std::function<std::string(const std::string& storedName)> resolveBankFile;

    // Plays a sound file (a picture's click sound).  Empty: no sound.
    std::function<void(const std::string& path)> playAudioFile;

    // Sets the main window's start-requested flag; the window's next paint
    // starts the test.  Empty: nothing happens.
    std::function<void()> requestStart;

    // The main window's current test state.  Empty: NoTest.
    std::function<TestState()> testState;

    // Whether Options/Subtitles is ticked.  Empty: off.
    std::function<bool()> subtitlesOn;

    // Waits the given milliseconds between the steps of the attention
    // frame, without handling input.  Empty: a real sleep.  Tests pass a
    // function that only records.
    std::function<void(int ms)> wait;

    // Announces interface message `number` and shows its text in a message
    // box: the answer objects refuse every change this way once the test
    // is finished (message 83).  Empty: the refusal is silent.
    std::function<void(int number)> announceRefusal;

    // Runs after each step of a draggable item's glide, once `moved` (the
    // item's visual) is at its new place.  Empty: the visual is repainted
    // at once.  Tests pass a function that only records.
    std::function<void(QWidget* moved)> glideStep;

    // Shows every page object whose feedback id is `code` on `parent` (a
    // feedback panel), at positions relative to it; hides them again.
    // Empty: a feedback panel shows no content.
    std::function<void(const std::string& code, QWidget* parent)> revealFeedback;
    std::function<void(const std::string& code)> hideFeedback;

    // Makes the player a video object plays its file in.  Empty: videos
    // show their empty panel only.
    std::function<std::unique_ptr<VideoPlayer>()> makeVideoPlayer;

    // Whether the control panel's auto-play box is ticked.  Empty: off.
    std::function<bool()> autoPlayOn;

    // The text of interface message `number` (Windows-1252).  Empty: "".
    std::function<std::string(int number)> messageText;

    // The candidate changed an answer on the page (a key typed into a
    // field, a button selected or cleared, an item placed or taken off):
    // the journal of the test notes it.  Empty: nothing happens.
    std::function<void()> answerChanged;

    // Sets `key` to `value` in the current page record (setTag), so that a
    // note about the page (a video that could not be played) travels with
    // it.  Empty: nothing is noted.
    std::function<void(const std::string& key, const std::string& value)> notePageRecord;

    std::string resolve(const std::string& storedName) const
    {
        return resolveBankFile ? resolveBankFile(storedName) : storedName;
    }
    TestState currentTestState() const { return testState ? testState() : TestState::NoTest; }
    bool subtitles() const { return subtitlesOn ? subtitlesOn() : false; }
    bool autoPlay() const { return autoPlayOn ? autoPlayOn() : false; }
    std::string message(int number) const { return messageText ? messageText(number) : std::string(); }
    void noteAnswerChanged() const
    {
        if (answerChanged)
            answerChanged();
    }
};

} // namespace zx
