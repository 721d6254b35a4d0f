// Item analysis of one test over many candidates' results files: how each
// question worked (facility, spread, discrimination, the choices made and
// the answers typed) and how the test worked as a whole (spread of the
// totals, Cronbach's alpha, standard error of measurement, distribution,
// categories).  Every mark comes from the scoring pass the reports use
// (scoreTest and its ScoringObserver); nothing is read from the stored
// reports.
//
// Measures (marks in whole marks, sums over the candidates who have the
// question; SD is the sample standard deviation, divisor n - 1):
//   facility        = sum of scores / sum of bests
//   discrimination  = Pearson correlation of the question's score with
//                     the total less that score (corrected item-total)
//   alpha           = k / (k - 1) * (1 - sum of question variances /
//                     variance of the totals), over the candidates who
//                     have all k questions
//   SEM             = SD of the totals * sqrt(1 - alpha)
// Variances and correlations are formed in two passes over the values in
// double precision (means first, then squared deviations), which keeps
// them exact to rounding whatever the size of the marks.
#pragma once

#include "results/core/results_file.h"
#include "results/core/scoring.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zx {

// --------------------------------------------------------------- one file

// What one answer object of a question showed.
struct ObjectResponse {
    AnswerKind kind = AnswerKind::Button;
    int ordinal = 0;         // 0, 1, ... among the question's objects of this kind
    int buttonType = -1;     // buttons: 0 choice, 1 true/false, other: not an answer button
    int state = 0;           // buttons: 0/1 (choice), 0 none / 1 true / 2 false (true/false)
    std::string name;        // ButtonName, FieldName or DragName (Windows-1252)
    std::string answer;      // fields: the answer as the report shows it (trimmed); drags: the target
    ObjectMarks marks;
    // For buttons, what each state gives, to find the keyed answer
    // (choice: not selected, selected, as 0 and 1 for less and more;
    // true/false: the marks of none, true, false).
    std::vector<int> stateMarks;
};

struct QuestionResponse {
    int index = 0;
    ScoreTally tally;
    std::string text; // ResultsText (Windows-1252)
    std::vector<ObjectResponse> objects;
};

// One results file as the analysis takes it.
struct CandidateResponses {
    // Files with the same key belong to the same test: the test name and
    // the bank's file name (without its folder).
    std::string testKey;
    std::string testName; // UTF-8, empty when the test has none
    std::string bankName; // UTF-8
    TestScore score;
    std::vector<QuestionResponse> questions; // the questions with answer objects, in index order
};

CandidateResponses collectResponses(const ResultsFileContent& content);

// --------------------------------------------------------------- many files

// Summary of a set of values.
struct Spread {
    std::size_t count = 0;
    double mean = 0;
    double sd = 0; // sample standard deviation; 0 below two values
};

struct OptionStatistics {
    int objectOrdinal = 0;   // of the question's buttons
    int buttonType = 0;      // 0 choice, 1 true/false
    std::string objectName;  // UTF-8
    std::string option;      // UTF-8: the button's name (choice), "True" / "False"
    bool keyed = false;      // choosing it gives the object's best mark
    std::size_t chosen = 0;
    double proportion = 0;   // chosen / candidates who have the question
    double meanTotal = 0;    // of those who chose it; 0 when nobody did
    bool flagged = false;    // a distractor drawing a higher mean total than the keyed answer
};

struct TypedAnswerCount {
    std::string answer; // UTF-8
    std::size_t count = 0;
};

struct FieldStatistics {
    int objectOrdinal = 0;  // of the question's fields
    std::string objectName; // UTF-8
    std::size_t blank = 0;
    std::vector<TypedAnswerCount> answers; // most frequent first (ties: first given first), at most topAnswers
};

struct QuestionStatistics {
    int index = 0;                  // shown as Q(index + 1)
    std::string text;               // UTF-8
    std::size_t candidates = 0;
    double mean = 0;                // marks
    double best = 0;                // mean best marks
    std::optional<double> facility; // none when the best is 0
    double sd = 0;
    std::optional<double> discrimination; // none when either side does not vary
    std::vector<OptionStatistics> options;
    std::vector<FieldStatistics> fields;
    std::vector<std::string> flags; // reasons, in English
    bool flagged() const { return !flags.empty(); }
};

struct CategoryStatistics {
    std::string name; // UTF-8
    std::size_t candidates = 0; // with items in the category
    double meanScore = 0;
    double meanBest = 0;
    double meanPercentage = 0; // as the reports compute it (0 without a base)
    double meanItems = 0;
};

struct DistributionBin {
    double from = 0; // marks, from <= total < to (the last bin includes `to`)
    double to = 0;
    std::size_t count = 0;
};

struct LeftOutFile {
    std::string file;
    std::string testName; // UTF-8
    std::string bankName;
};

// "test \"Quiz\" of quiz.zxb", "a test without a name of quiz.zxb".
std::string testDescription(const std::string& testName, const std::string& bankName);

struct TestStatistics {
    std::string testName; // UTF-8
    std::string bankName;
    std::size_t candidates = 0;
    std::vector<LeftOutFile> leftOut; // files of other tests
    double mean = 0;
    double sd = 0;
    double median = 0;
    double lowest = 0;
    double highest = 0;
    double best = 0; // the highest best total of any candidate
    double worst = 0;
    double meanPercentage = 0;
    std::optional<double> alpha; // none below 2 questions or 2 complete candidates, or without spread
    std::optional<double> sem;
    std::size_t alphaCandidates = 0; // those with every question
    std::vector<DistributionBin> distribution;
    std::vector<QuestionStatistics> questions; // in index order
    std::vector<CategoryStatistics> categories;
};

// Flag thresholds.
inline constexpr double lowFacility = 0.2;
inline constexpr double highFacility = 0.9;
inline constexpr double lowDiscrimination = 0.2;
inline constexpr std::size_t topAnswers = 5;

class ItemAnalysis {
public:
    // Adds one file; files of several tests may be added, each test is
    // kept apart.
    void add(const std::string& file, const CandidateResponses& responses);
    // The statistics of the test most files belong to (the first such
    // test when two have as many); the files of the others are listed in
    // leftOut.  Empty statistics when no file was added.
    TestStatistics result() const;

private:
    struct Option {
        std::string name;
        bool keyed = false;
        std::size_t chosen = 0;
        double totalSum = 0;
    };
    struct ButtonObject {
        int ordinal = 0;
        int buttonType = 0;
        std::string name;
        std::vector<Option> options; // choice: one; true/false: True, False
    };
    struct FieldObject {
        int ordinal = 0;
        std::string name;
        std::size_t blank = 0;
        std::map<std::string, std::pair<std::size_t, std::size_t>> answers; // answer -> (count, first seen)
    };
    struct Question {
        std::string text;
        std::vector<ButtonObject> buttons;
        std::vector<FieldObject> fields;
    };
    struct Candidate {
        int score = 0; // hundredths
        int best = 0;
        int worst = 0;
        int percentage = 0; // hundredths of a percent
        std::vector<std::pair<int, ScoreTally>> questions; // index, tally
    };
    struct Category {
        std::string name;
        std::size_t candidates = 0;
        double score = 0, best = 0, percentage = 0, items = 0;
    };
    struct Test {
        std::string testName, bankName;
        std::vector<std::string> files;
        std::vector<Candidate> candidates;
        std::map<int, Question> questions;
        std::vector<Category> categories;
    };

    TestStatistics statisticsOf(const Test& test) const;

    std::vector<Test> m_tests;
    std::map<std::string, std::size_t> m_byKey;
};

// "0.667" for (2/3.0, 3); never "-0.000".
std::string formatDecimal(double value, int decimals);

// Mean and sample standard deviation in two passes.
Spread spreadOf(const std::vector<double>& values);
// Pearson correlation of x and y (same length); none when either does not
// vary or there are fewer than two pairs.
std::optional<double> correlation(const std::vector<double>& x, const std::vector<double>& y);
// Cronbach's alpha of a candidates x questions matrix (rows of equal
// length); none below two questions or two rows, or when the totals do not
// vary.
std::optional<double> cronbachAlpha(const std::vector<std::vector<double>>& rows);

} // namespace zx
