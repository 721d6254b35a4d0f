#include "results/core/item_analysis.h"

#include "tagtext/cp1252.h"
#include "tagtext/tagged_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zx {

namespace {

// The scoring pass seen from the analysis: every question with objects,
// each object with what the candidate did.
class ResponseCollector : public ScoringObserver {
public:
    explicit ResponseCollector(std::vector<QuestionResponse>& questions)
        : m_questions(questions)
    {
    }

    void questionStarted(int index, std::string_view record) override
    {
        m_current = QuestionResponse();
        m_current.index = index;
        m_current.text = trimText(getTag(record, "ResultsText"));
        m_buttons = m_fields = m_drags = 0;
    }

    void objectScored(int, AnswerKind kind, std::string_view record, const ObjectMarks& marks) override
    {
        ObjectResponse object;
        object.kind = kind;
        object.marks = marks;
        switch (kind) {
        case AnswerKind::Button: {
            object.ordinal = m_buttons++;
            object.name = getTag(record, "ButtonName");
            // The verdict tells the kind of button and its state.
            switch (marks.verdict) {
            case AnswerVerdict::Selected:
            case AnswerVerdict::NotSelected: {
                object.buttonType = 0;
                object.state = marks.verdict == AnswerVerdict::Selected ? 1 : 0;
                // Selecting it scores more than leaving it exactly when
                // the state's mark is the best (selected) or the worst
                // (not selected) of two that differ.
                const bool keyed = marks.best > marks.worst
                                   && marks.score == (object.state == 1 ? marks.best : marks.worst);
                object.stateMarks = {keyed ? 0 : 1, keyed ? 1 : 0};
                break;
            }
            case AnswerVerdict::NoSelection:
            case AnswerVerdict::TrueSelected:
            case AnswerVerdict::FalseSelected:
                object.buttonType = 1;
                object.state = marks.verdict == AnswerVerdict::NoSelection ? 0
                               : marks.verdict == AnswerVerdict::TrueSelected ? 1 : 2;
                object.stateMarks = {marks.score, markButton(record, 1).score, markButton(record, 2).score};
                break;
            default:
                break;
            }
            break;
        }
        case AnswerKind::Field:
            object.ordinal = m_fields++;
            object.name = getTag(record, "FieldName");
            object.answer = trimText(marks.answerText);
            break;
        case AnswerKind::Drag:
            object.ordinal = m_drags++;
            object.name = getTag(record, "DragName");
            object.answer = marks.answerText;
            break;
        }
        m_current.objects.push_back(std::move(object));
    }

    void questionFinished(const QuestionScore& question) override
    {
        if (!question.hasObjects)
            return;
        m_current.tally = question.tally;
        m_questions.push_back(std::move(m_current));
    }

private:
    std::vector<QuestionResponse>& m_questions;
    QuestionResponse m_current;
    int m_buttons = 0, m_fields = 0, m_drags = 0;
};

std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

double marks(int hundredths) { return hundredths / 100.0; }

} // namespace

std::string formatDecimal(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string out = text;
    // "-0.00" reads as a negative number that is not there.
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos)
        out.erase(0, 1);
    return out;
}

CandidateResponses collectResponses(const ResultsFileContent& content)
{
    CandidateResponses responses;
    const ResultsSettings settings = ResultsSettings::parse(content.testSettings);
    if (settings.hasTestName())
        responses.testName = cp1252ToUtf8(settings.testName);
    const std::string bank = fileNameOf(content.bankPathRel.empty() ? content.bankPathAbs : content.bankPathRel);
    responses.bankName = cp1252ToUtf8(bank);
    responses.testKey = (settings.hasTestName() ? settings.testName : std::string()) + '\n' + bank;
    ResponseCollector collector(responses.questions);
    responses.score = scoreTest(settings, content.questionList, &collector);
    return responses;
}

std::string testDescription(const std::string& testName, const std::string& bankName)
{
    std::string text = testName.empty() ? "a test without a name" : "test \"" + testName + "\"";
    return bankName.empty() ? text : text + " of " + bankName;
}

Spread spreadOf(const std::vector<double>& values)
{
    Spread spread;
    spread.count = values.size();
    if (values.empty())
        return spread;
    double sum = 0;
    for (double v : values)
        sum += v;
    spread.mean = sum / static_cast<double>(values.size());
    if (values.size() < 2)
        return spread;
    double squares = 0;
    for (double v : values)
        squares += (v - spread.mean) * (v - spread.mean);
    spread.sd = std::sqrt(squares / static_cast<double>(values.size() - 1));
    return spread;
}

std::optional<double> correlation(const std::vector<double>& x, const std::vector<double>& y)
{
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2)
        return std::nullopt;
    double mx = 0, my = 0;
    for (std::size_t i = 0; i < n; ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= static_cast<double>(n);
    my /= static_cast<double>(n);
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = x[i] - mx;
        const double dy = y[i] - my;
        sxy += dx * dy;
        sxx += dx * dx;
        syy += dy * dy;
    }
    // Values that differ only by rounding do not vary.
    if (sxx <= 1e-12 || syy <= 1e-12)
        return std::nullopt;
    return std::clamp(sxy / std::sqrt(sxx * syy), -1.0, 1.0);
}

std::optional<double> cronbachAlpha(const std::vector<std::vector<double>>& rows)
{
    if (rows.size() < 2)
        return std::nullopt;
    const std::size_t k = rows.front().size();
    if (k < 2)
        return std::nullopt;
    double itemVariances = 0;
    std::vector<double> column(rows.size());
    for (std::size_t q = 0; q < k; ++q) {
        for (std::size_t r = 0; r < rows.size(); ++r)
            column[r] = rows[r][q];
        const double sd = spreadOf(column).sd;
        itemVariances += sd * sd;
    }
    std::vector<double> totals(rows.size(), 0.0);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (double v : rows[r])
            totals[r] += v;
    const double totalSd = spreadOf(totals).sd;
    const double totalVariance = totalSd * totalSd;
    if (totalVariance <= 1e-12)
        return std::nullopt;
    const double kd = static_cast<double>(k);
    return kd / (kd - 1) * (1 - itemVariances / totalVariance);
}

void ItemAnalysis::add(const std::string& file, const CandidateResponses& responses)
{
    auto [found, isNew] = m_byKey.emplace(responses.testKey, m_tests.size());
    if (isNew) {
        m_tests.emplace_back();
        m_tests.back().testName = responses.testName;
        m_tests.back().bankName = responses.bankName;
    }
    Test& test = m_tests[found->second];
    test.files.push_back(file);

    const TestScore& score = responses.score;
    Candidate candidate;
    candidate.score = score.total.score;
    candidate.best = score.total.best;
    candidate.worst = score.total.worst;
    candidate.percentage = score.percentage.hasBase ? score.percentage.hundredths : 0;
    const double total = marks(score.total.score);

    for (const QuestionResponse& response : responses.questions) {
        candidate.questions.emplace_back(response.index, response.tally);
        Question& question = test.questions[response.index];
        if (question.text.empty())
            question.text = response.text;
        for (const ObjectResponse& object : response.objects) {
            if (object.kind == AnswerKind::Button && (object.buttonType == 0 || object.buttonType == 1)) {
                auto button = std::find_if(question.buttons.begin(), question.buttons.end(),
                                           [&](const ButtonObject& b) { return b.ordinal == object.ordinal; });
                if (button == question.buttons.end()) {
                    ButtonObject made;
                    made.ordinal = object.ordinal;
                    made.buttonType = object.buttonType;
                    made.name = object.name;
                    const std::vector<int>& m = object.stateMarks;
                    if (object.buttonType == 0) {
                        made.options.push_back({object.name, m.size() == 2 && m[1] > m[0], 0, 0});
                    } else {
                        const bool three = m.size() == 3;
                        made.options.push_back({"True", three && m[1] > m[2], 0, 0});
                        made.options.push_back({"False", three && m[2] > m[1], 0, 0});
                    }
                    question.buttons.push_back(std::move(made));
                    button = question.buttons.end() - 1;
                }
                if (button->buttonType != object.buttonType)
                    continue; // another kind of button in this place: not counted
                int chosen = -1;
                if (object.buttonType == 0 && object.state == 1)
                    chosen = 0;
                else if (object.buttonType == 1 && (object.state == 1 || object.state == 2))
                    chosen = object.state - 1;
                if (chosen >= 0) {
                    Option& option = button->options[static_cast<std::size_t>(chosen)];
                    ++option.chosen;
                    option.totalSum += total;
                }
            } else if (object.kind == AnswerKind::Field) {
                auto field = std::find_if(question.fields.begin(), question.fields.end(),
                                          [&](const FieldObject& f) { return f.ordinal == object.ordinal; });
                if (field == question.fields.end()) {
                    question.fields.push_back({object.ordinal, object.name, 0, {}});
                    field = question.fields.end() - 1;
                }
                if (object.answer.empty()) {
                    ++field->blank;
                } else {
                    auto [entry, first] = field->answers.emplace(object.answer, std::make_pair(0, field->answers.size()));
                    ++entry->second.first;
                }
            }
        }
    }
    test.candidates.push_back(std::move(candidate));

    for (const CategoryScore& category : score.categories) {
        auto kept = std::find_if(test.categories.begin(), test.categories.end(),
                                 [&](const Category& c) { return c.name == category.name; });
        if (kept == test.categories.end()) {
            test.categories.push_back({category.name, 0, 0, 0, 0, 0});
            kept = test.categories.end() - 1;
        }
        if (!category.hasItems())
            continue;
        ++kept->candidates;
        kept->score += marks(category.tally.score);
        kept->best += marks(category.tally.best);
        kept->percentage += category.percentage.hasBase ? category.percentage.hundredths / 100.0 : 0.0;
        kept->items += category.tally.items;
    }
}

TestStatistics ItemAnalysis::result() const
{
    if (m_tests.empty())
        return {};
    std::size_t chosen = 0;
    for (std::size_t t = 1; t < m_tests.size(); ++t)
        if (m_tests[t].files.size() > m_tests[chosen].files.size())
            chosen = t;
    TestStatistics statistics = statisticsOf(m_tests[chosen]);
    // The files left out, test by test.
    for (std::size_t t = 0; t < m_tests.size(); ++t)
        if (t != chosen)
            for (const std::string& file : m_tests[t].files)
                statistics.leftOut.push_back({file, m_tests[t].testName, m_tests[t].bankName});
    return statistics;
}

TestStatistics ItemAnalysis::statisticsOf(const Test& test) const
{
    TestStatistics out;
    out.testName = test.testName;
    out.bankName = test.bankName;
    out.candidates = test.candidates.size();
    if (test.candidates.empty())
        return out;

    // Totals.
    std::vector<double> totals;
    totals.reserve(test.candidates.size());
    double percentages = 0;
    int lowestPossible = test.candidates.front().worst, highestPossible = test.candidates.front().best;
    for (const Candidate& c : test.candidates) {
        totals.push_back(marks(c.score));
        percentages += c.percentage / 100.0;
        lowestPossible = std::min(lowestPossible, c.worst);
        highestPossible = std::max(highestPossible, c.best);
    }
    const Spread spread = spreadOf(totals);
    out.mean = spread.mean;
    out.sd = spread.sd;
    out.meanPercentage = percentages / static_cast<double>(totals.size());
    std::vector<double> sorted = totals;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    out.median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    out.lowest = sorted.front();
    out.highest = sorted.back();
    out.best = marks(highestPossible);
    out.worst = marks(lowestPossible);

    // Distribution, in hundredths so that bin edges are exact: one bin per
    // whole mark for up to 40 marks of whole marks, else 20 equal bins.
    {
        int lo = lowestPossible, hi = highestPossible;
        bool whole = lo % 100 == 0 && hi % 100 == 0;
        for (const Candidate& c : test.candidates) {
            lo = std::min(lo, c.score);
            hi = std::max(hi, c.score);
            whole = whole && c.score % 100 == 0;
        }
        const long long range = static_cast<long long>(hi) - lo;
        long long width;
        long long bins;
        if (range == 0) {
            width = 100;
            bins = 1;
        } else if (whole && range <= 4000) {
            width = 100;
            bins = range / 100 + 1;
        } else {
            bins = 20;
            width = (range + bins - 1) / bins;
        }
        for (long long b = 0; b < bins; ++b)
            out.distribution.push_back({marks(static_cast<int>(lo + b * width)),
                                        static_cast<double>(lo + (b + 1) * width) / 100.0, 0});
        for (const Candidate& c : test.candidates) {
            const long long b = std::min<long long>((static_cast<long long>(c.score) - lo) / width, bins - 1);
            ++out.distribution[static_cast<std::size_t>(b)].count;
        }
    }

    // Questions.
    std::vector<int> indices;
    for (const auto& entry : test.questions)
        indices.push_back(entry.first);
    std::vector<std::vector<double>> complete;
    for (const Candidate& c : test.candidates) {
        if (c.questions.size() != indices.size())
            continue;
        std::vector<double> row;
        row.reserve(indices.size());
        bool same = true;
        for (std::size_t q = 0; q < indices.size() && same; ++q) {
            same = c.questions[q].first == indices[q];
            row.push_back(marks(c.questions[q].second.score));
        }
        if (same)
            complete.push_back(std::move(row));
    }
    out.alphaCandidates = complete.size();
    out.alpha = cronbachAlpha(complete);
    if (out.alpha)
        out.sem = out.sd * std::sqrt(std::max(0.0, 1 - *out.alpha));

    for (const auto& [index, question] : test.questions) {
        QuestionStatistics qs;
        qs.index = index;
        qs.text = cp1252ToUtf8(question.text);
        std::vector<double> scores, rests;
        double bestSum = 0;
        for (const Candidate& c : test.candidates) {
            const auto at = std::lower_bound(c.questions.begin(), c.questions.end(), index,
                                             [](const auto& q, int wanted) { return q.first < wanted; });
            if (at == c.questions.end() || at->first != index)
                continue;
            const double x = marks(at->second.score);
            scores.push_back(x);
            rests.push_back(marks(c.score) - x);
            bestSum += marks(at->second.best);
        }
        const Spread s = spreadOf(scores);
        qs.candidates = s.count;
        qs.mean = s.mean;
        qs.sd = s.sd;
        qs.best = s.count ? bestSum / static_cast<double>(s.count) : 0;
        if (qs.best > 0)
            qs.facility = qs.mean / qs.best;
        qs.discrimination = correlation(scores, rests);

        // Choices.
        double keyedSum = 0;
        std::size_t keyedCount = 0;
        for (const ButtonObject& button : question.buttons)
            for (const Option& option : button.options)
                if (option.keyed) {
                    keyedSum += option.totalSum;
                    keyedCount += option.chosen;
                }
        const bool anyKeyed = keyedCount > 0;
        const double keyedMean = anyKeyed ? keyedSum / static_cast<double>(keyedCount) : 0;
        for (const ButtonObject& button : question.buttons) {
            for (const Option& option : button.options) {
                OptionStatistics os;
                os.objectOrdinal = button.ordinal;
                os.buttonType = button.buttonType;
                os.objectName = cp1252ToUtf8(button.name);
                os.option = cp1252ToUtf8(option.name);
                os.keyed = option.keyed;
                os.chosen = option.chosen;
                os.proportion = qs.candidates ? static_cast<double>(option.chosen) / static_cast<double>(qs.candidates) : 0;
                os.meanTotal = option.chosen ? option.totalSum / static_cast<double>(option.chosen) : 0;
                // Compared as the report shows them, to two decimals.
                os.flagged = !option.keyed && option.chosen > 0 && anyKeyed
                             && std::round(os.meanTotal * 100) > std::round(keyedMean * 100);
                if (os.flagged) {
                    const std::string label = button.buttonType == 1
                                                  ? "\"" + os.option + "\" of \"" + os.objectName + "\""
                                                  : "\"" + os.option + "\"";
                    qs.flags.push_back("distractor " + label + " drew candidates with a higher mean total ("
                                       + formatDecimal(os.meanTotal, 2) + ") than the keyed answer ("
                                       + formatDecimal(keyedMean, 2) + ")");
                }
                qs.options.push_back(std::move(os));
            }
        }
        // Typed answers.
        for (const FieldObject& field : question.fields) {
            FieldStatistics fs;
            fs.objectOrdinal = field.ordinal;
            fs.objectName = cp1252ToUtf8(field.name);
            fs.blank = field.blank;
            std::vector<std::pair<std::string, std::pair<std::size_t, std::size_t>>> answers(field.answers.begin(),
                                                                                           field.answers.end());
            std::sort(answers.begin(), answers.end(), [](const auto& a, const auto& b) {
                return a.second.first != b.second.first ? a.second.first > b.second.first
                                                        : a.second.second < b.second.second;
            });
            for (std::size_t k = 0; k < answers.size() && k < topAnswers; ++k)
                fs.answers.push_back({cp1252ToUtf8(answers[k].first), answers[k].second.first});
            qs.fields.push_back(std::move(fs));
        }

        // Flags on facility and discrimination come first.
        std::vector<std::string> flags;
        if (qs.facility && *qs.facility < lowFacility)
            flags.push_back("facility " + formatDecimal(*qs.facility, 3) + " under " + formatDecimal(lowFacility, 1) + ": very hard");
        if (qs.facility && *qs.facility > highFacility)
            flags.push_back("facility " + formatDecimal(*qs.facility, 3) + " over " + formatDecimal(highFacility, 1) + ": very easy");
        if (qs.discrimination && *qs.discrimination < 0)
            flags.push_back("negative discrimination " + formatDecimal(*qs.discrimination, 3)
                            + ": weaker candidates did better on it");
        else if (qs.discrimination && *qs.discrimination < lowDiscrimination)
            flags.push_back("discrimination " + formatDecimal(*qs.discrimination, 3) + " under "
                            + formatDecimal(lowDiscrimination, 1) + ": it hardly separates strong from weak candidates");
        flags.insert(flags.end(), qs.flags.begin(), qs.flags.end());
        qs.flags = std::move(flags);
        out.questions.push_back(std::move(qs));
    }

    // Categories.
    for (const Category& category : test.categories) {
        CategoryStatistics cs;
        cs.name = cp1252ToUtf8(category.name);
        cs.candidates = category.candidates;
        if (category.candidates > 0) {
            const double count = static_cast<double>(category.candidates);
            cs.meanScore = category.score / count;
            cs.meanBest = category.best / count;
            cs.meanPercentage = category.percentage / count;
            cs.meanItems = category.items / count;
        }
        out.categories.push_back(std::move(cs));
    }
    return out;
}

} // namespace zx
