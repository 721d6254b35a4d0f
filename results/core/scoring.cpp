#include "results/core/scoring.h"

#include "results/core/element_sequence.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "testrun/core/test_assembly.h"

#include <algorithm>
#include <climits>

namespace zx {

ScoringObserver::~ScoringObserver() = default;
void ScoringObserver::questionStarted(int, std::string_view) {}
void ScoringObserver::objectScored(int, AnswerKind, std::string_view, const ObjectMarks&) {}
void ScoringObserver::questionFinished(const QuestionScore&) {}

Percentage scorePercentage(const ScoreTally& tally, bool minimumIsBaseline)
{
    long long s = tally.score;
    long long m = tally.best;
    if (minimumIsBaseline) {
        s -= tally.worst;
        m -= tally.worst;
    }
    if (m == 0)
        return {};
    const long long p = s * 10000 / m;
    return {static_cast<int>(std::clamp(p, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX))), true};
}

namespace {

class QuestionScorer {
public:
    QuestionScorer(int index, std::string_view record, ScoringObserver* observer)
        : m_index(index)
        , m_elements(record)
        , m_observer(observer)
    {
        m_question.index = index;
    }

    QuestionScore score(int selectionLimit)
    {
        int buttons = 0;
        for (int n = 0; n < maxObjectsPerKind; ++n) {
            const auto element = m_elements.take("zxButton");
            if (!element)
                break; // nothing more can be read or removed
            if (element->size() <= 29)
                continue;
            ++buttons;
            add(AnswerKind::Button, *element, markStoredButton(*element));
        }
        int fields = 0;
        for (int n = 0; n < maxObjectsPerKind; ++n) {
            const auto element = m_elements.take("zxField");
            if (!element || element->size() < 5)
                break;
            ++fields;
            add(AnswerKind::Field, *element, markStoredField(*element));
        }
        int drags = 0;
        for (int n = 0; n < maxObjectsPerKind; ++n) {
            const auto element = m_elements.take("zxDrag");
            if (!element || element->size() < 5)
                break;
            ++drags;
            add(AnswerKind::Drag, *element, markStoredDrag(*element));
        }
        if (selectionLimit > 0) {
            buttons = std::min(buttons, selectionLimit);
            drags = std::min(drags, selectionLimit);
        }
        m_question.tally.items = buttons + fields + drags;
        return m_question;
    }

private:
    void add(AnswerKind kind, std::string_view element, const ObjectMarks& marks)
    {
        m_question.hasObjects = true;
        m_question.tally.add(marks);
        if (m_observer)
            m_observer->objectScored(m_index, kind, element, marks);
    }

    int m_index;
    ElementSequence m_elements;
    ScoringObserver* m_observer;
    QuestionScore m_question;
};

} // namespace

namespace {

TestScore scoreRecords(const ResultsSettings& settings, const NumberedTags& records, int last,
                       ScoringObserver* observer)
{
    TestScore result;
    for (const std::string& name : settings.categories)
        result.categories.push_back({name, {}, {}});
    std::vector<std::string> categoryEntries;
    for (const std::string& name : settings.categories)
        categoryEntries.push_back("<cat>" + name + "</cat>");

    for (int i = 0; i <= last; ++i) {
        const std::string_view record = records.valueView(i);
        if (record.size() <= 10)
            continue;
        if (observer)
            observer->questionStarted(i, record);
        QuestionScorer scorer(i, record, observer);
        const QuestionScore question = scorer.score(getTagInt(record, "numSelections", 0));
        result.questions.push_back(question);
        if (observer)
            observer->questionFinished(question);
        if (!question.hasObjects)
            continue;
        result.total.add(question.tally);
        if (!categoryEntries.empty()) {
            const std::string categories = getTag(record, "Categories");
            for (std::size_t k = 0; k < categoryEntries.size(); ++k)
                if (categories.find(categoryEntries[k]) != std::string::npos)
                    result.categories[k].tally.add(question.tally);
        }
    }

    const bool baseline = settings.minimumIsBaseline();
    result.percentage = scorePercentage(result.total, baseline);
    for (CategoryScore& category : result.categories)
        if (category.hasItems())
            category.percentage = scorePercentage(category.tally, baseline);
    return result;
}

} // namespace

TestScore scoreTest(const ResultsSettings& settings, std::string_view questionList, int lastQuestion,
                    ScoringObserver* observer)
{
    const int last = std::min(lastQuestion, maxScoredQuestionIndex);
    return scoreRecords(settings, NumberedTags(questionList, "questionFile", last + 1), last, observer);
}

TestScore scoreTest(const ResultsSettings& settings, std::string_view questionList, ScoringObserver* observer)
{
    // lastAvailableQuestion, on the records read for the scoring.
    const NumberedTags records(questionList, "questionFile", maxListPages);
    return scoreRecords(settings, records, listPageCount(records) - 1, observer);
}

} // namespace zx
