// The rules of an open bank, read once from its settings text into typed
// values.  The settings text itself stays with the test run, which writes
// keys into it while a test runs (start and end dates, the candidate's
// details); whoever needs a rule asks this value.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zx {

// Client area of the window for a page: 800 x 600, 1024 x 768 or 640 x 480.
struct PageSize {
    int width = 800;
    int height = 600;
    bool operator==(const PageSize&) const = default;
};

// The page size the `windowSize` value of a bank's first question asks for
// (1: 800 x 600, 2: 1024 x 768, anything else: 640 x 480).
PageSize pageSizeForWindowSize(int windowSize);
// The page size of a question list: `windowSize` of "questionFile0",
// default 1.
PageSize pageSizeOfQuestionList(std::string_view questionList);

// The longest time limit a bank may set (about ten weeks); a larger value
// is read as this one.
inline constexpr int maxTimeLimitMinutes = 99999;

// A bank is refused without embedded files: its list must be longer than
// four characters.
bool hasEmbeddedFiles(std::string_view embeddedFileList);

struct BankSettings {
    int version = 0;
    bool isExam = false;
    bool allowMarking = false;
    bool allowCheating = false;
    bool showAnswer = false;
    bool allowSaving = false;
    bool allowPrinting = false;
    // A preview from the authoring editor: non-zero keeps the bank off the
    // recent list and the Finish button disabled; exactly 1 also lets the
    // window close without a question.
    int questionPreview = 0;
    bool showBackgroundCover = false;
    bool shouldUserEnterDetails = false;
    std::array<std::string, 3> userEntryLabels;
    // The password as stored; empty or "0" after filtering means none.
    std::string password;
    // `timeLimitMinutes`: the minutes a candidate has from the start of the
    // test; 0 (also missing, negative or no number) means no limit.
    int timeLimitMinutes = 0;

    static BankSettings parse(std::string_view settingsText);

    // Banks of version 2 and newer are made for a later player.
    bool versionRefused() const { return version >= 2; }
    bool hasPassword() const;
    bool isPreview() const { return questionPreview != 0; }
    bool closesWithoutAsking() const { return questionPreview == 1; }
    // Whether the control panel offers Cheat: as a press-and-hold Cheat
    // button, or as the wider Show Answer button.
    bool cheatOffered() const { return !isExam && (allowCheating || showAnswer); }
    bool isTimed() const { return timeLimitMinutes > 0; }
};

} // namespace zx
