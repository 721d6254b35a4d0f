// Scoring a finished test: one pass over the stored question records (never
// the live page objects), marking every answer object with the same rules
// as the page's Mark, and summing per question, per category and for the
// whole test.
//
// Per question record (`questionFile` + i, i = 0 .. lastQuestion; records
// of 10 characters or fewer are skipped):
//   - up to 60 `zxButton` elements; one of 29 characters or fewer is no
//     object, but the reading goes on;
//   - then up to 60 `zxField` and then up to 60 `zxDrag` elements, each
//     list ending at the first element shorter than 5 characters;
//   elements are read in turn from one working copy of the record, each
//   removed once read (see ElementSequence);
//   - the question's items are its buttons + fields + drags, where buttons
//     and drags are each capped at `numSelections` when that is above 0;
//   - a question with at least one object adds its tally to the test and to
//     every named category whose "<cat>name</cat>" entry occurs in the
//     record's `Categories`.
// The pass reports every object as it is marked, so that the reports are
// written in the same order.
#pragma once

#include "objects/core/answer_marks.h"
#include "objects/core/score_tally.h"
#include "results/core/results_settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace zx {

inline constexpr int maxObjectsPerKind = 60;
// Question indices above this are not looked at (the player's tests hold at
// most 500 questions; this only keeps a wild index from exhausting memory).
inline constexpr int maxScoredQuestionIndex = 999999;

enum class AnswerKind { Button, Field, Drag };

// A percentage in hundredths of a percent.  Without a base (the best, less
// the worst when the minimum is the baseline, is 0) it is 0 and shown as
// "0 %".
struct Percentage {
    int hundredths = 0;
    bool hasBase = false;

    bool operator==(const Percentage&) const = default;
};

// s = score, m = best (both less the worst when `minimumIsBaseline`);
// (s * 10000) / m truncated toward zero, formed in 64 bits and held within
// the 32-bit range.
Percentage scorePercentage(const ScoreTally& tally, bool minimumIsBaseline);

struct QuestionScore {
    int index = 0;
    ScoreTally tally;
    bool hasObjects = false; // only then does it count in the test and its categories

    bool operator==(const QuestionScore&) const = default;
};

struct CategoryScore {
    std::string name;
    ScoreTally tally;
    Percentage percentage; // worked out only when the category has items

    bool hasItems() const { return tally.items > 0; }
    bool operator==(const CategoryScore&) const = default;
};

struct TestScore {
    std::vector<QuestionScore> questions;   // every scored record, in index order
    std::vector<CategoryScore> categories;  // the named categories in slot order
    ScoreTally total;
    Percentage percentage;

    bool operator==(const TestScore&) const = default;
};

// Told about every step of the pass, in order.  Views are valid during the
// call only.
class ScoringObserver {
public:
    virtual ~ScoringObserver();
    // A record longer than 10 characters is about to be scored.
    virtual void questionStarted(int index, std::string_view record);
    // One answer object marked (buttons of an unknown type come with the
    // verdict None and zero marks).
    virtual void objectScored(int index, AnswerKind kind, std::string_view objectRecord, const ObjectMarks& marks);
    // The record's objects are all marked (called for every started
    // question, with or without objects).
    virtual void questionFinished(const QuestionScore& question);
};

// Scores questionFile0 .. questionFile`lastQuestion` of `questionList`.
TestScore scoreTest(const ResultsSettings& settings, std::string_view questionList, int lastQuestion,
                    ScoringObserver* observer = nullptr);
// The same up to lastAvailableQuestion(questionList).
TestScore scoreTest(const ResultsSettings& settings, std::string_view questionList,
                    ScoringObserver* observer = nullptr);

} // namespace zx
