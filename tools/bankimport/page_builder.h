// Lays out one imported question as a page record: the question's text and
// pictures from the top, then its answer objects, then its feedback panels,
// every object placed so that nothing overlaps and nothing leaves the page.
// Text is measured through a TextMeasurer (the Qt one measures with the
// fonts the player draws with), so the layout itself stays Qt-free.
#pragma once

#include "tools/bankimport/question_model.h"
#include "tools/bankimport/tag_safe_text.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zx::import {

struct TextStyle {
    int points = 12;
    bool bold = false;
    bool italic = false;
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Height in pixels of the text word-wrapped to `width` (line breaks '\n').
    virtual int height(const std::string& utf8, const TextStyle& style, int width) const = 0;
    // Width in pixels of the text on one line.
    virtual int width(const std::string& utf8, const TextStyle& style) const = 0;
};

// The font every imported text is drawn with.
inline constexpr const char* importFontName = "Arial";

struct PageGeometry {
    int width = 800;
    int height = 573; // the question area: the window height less the control panel
    int windowSize = 1;
};
// "640x480", "800x600" or "1024x768"; nothing for any other text.
std::optional<PageGeometry> pageGeometryFor(const std::string& size);

struct PlacedPicture {
    std::string mediaName; // the embedded file's name
    int width = 0;         // natural size
    int height = 0;
};
using PictureLookup = std::function<std::optional<PlacedPicture>(const std::string& key)>;

// The drawn pictures the pages use (their sizes are fixed).
namespace drawn {
inline constexpr const char* choiceNormal = "choice-normal.bmp";
inline constexpr const char* choiceOver = "choice-over.bmp";
inline constexpr const char* choiceSelected = "choice-selected.bmp";
inline constexpr int choiceSize = 24;
// Square boxes for questions that take several answers.
inline constexpr const char* checkNormal = "check-normal.bmp";
inline constexpr const char* checkOver = "check-over.bmp";
inline constexpr const char* checkSelected = "check-selected.bmp";
inline constexpr const char* trueFalse[7] = {"tf-base.bmp",  "tf-over.bmp",  "tf-over-false.bmp",
                                             "tf-true.bmp",  "tf-false.bmp", "tf-true-over-false.bmp",
                                             "tf-false-over-true.bmp"};
inline constexpr int trueFalseWidth = 100;
inline constexpr int trueFalseHeight = 30;
inline constexpr const char* tick = "tick.bmp";
inline constexpr const char* cross = "cross.bmp";
inline constexpr const char* start = "start.bmp";
inline constexpr int startWidth = 140;
inline constexpr int startHeight = 40;
} // namespace drawn

struct PageResult {
    bool built = false;
    std::string record;
    std::string skipReason;
    std::vector<std::string> notes; // approximations
    int best = 0;                    // the page's best score, hundredths
};

PageResult buildQuestionPage(const Question& question, const PageGeometry& geometry, const TextMeasurer& measurer,
                             const PictureLookup& pictures);
// A pre-test page with the title and a start picture.
std::string buildTitlePage(const std::string& title, const PageGeometry& geometry, const TextMeasurer& measurer);


} // namespace zx::import
