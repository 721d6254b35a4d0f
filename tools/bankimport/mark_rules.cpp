#include "tools/bankimport/mark_rules.h"

#include "tagtext/cp1252.h"
#include "tagtext/decimal.h"
#include "tools/bankimport/source_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace zx::import {

namespace {

constexpr double fullMarks = 0.9999;
constexpr std::string_view typeable =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ !\xA3$%&*()-+=][}{;:'@#~|/?.,";

int markOf(int grade, double fraction)
{
    const double v = std::round(static_cast<double>(grade) * fraction);
    return static_cast<int>(std::clamp(v, -2.0e9, 2.0e9));
}

void note(std::vector<std::string>& notes, const std::string& text)
{
    if (std::find(notes.begin(), notes.end(), text) == notes.end())
        notes.push_back(text);
}

// The Decimal as text with up to twelve places, trailing zeros dropped.
std::string formatDecimal(Decimal value)
{
    const bool negative = value < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    const unsigned long long whole = magnitude / 1000000000000ULL;
    unsigned long long part = magnitude % 1000000000000ULL;
    std::string out = (negative ? "-" : "") + std::to_string(whole);
    if (part != 0) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%012llu", part);
        std::string decimals(digits);
        while (!decimals.empty() && decimals.back() == '0')
            decimals.pop_back();
        out += "." + decimals;
    }
    return out;
}

} // namespace

std::vector<int> splitHundredths(int total, const std::vector<double>& weights)
{
    std::vector<int> shares(weights.size(), 0);
    const double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
    if (weights.empty() || !(sum > 0))
        return shares;
    std::vector<double> rest(weights.size());
    long long given = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        const double exact = static_cast<double>(total) * std::max(0.0, weights[i]) / sum;
        shares[i] = static_cast<int>(std::floor(exact + 1e-9));
        rest[i] = exact - shares[i];
        given += shares[i];
    }
    long long left = total - given;
    while (left > 0) {
        std::size_t pick = 0;
        for (std::size_t i = 1; i < rest.size(); ++i)
            if (rest[i] > rest[pick] + 1e-9)
                pick = i;
        ++shares[pick];
        rest[pick] = -1;
        --left;
    }
    return shares;
}

std::vector<int> choiceMarks(const Question& question, int grade, std::vector<std::string>& notes)
{
    const std::vector<Answer>& answers = question.answers;
    std::vector<int> marks(answers.size(), 0);
    for (std::size_t i = 0; i < answers.size(); ++i)
        if (answers[i].fraction < 0)
            marks[i] = markOf(grade, answers[i].fraction);
    if (question.singleAnswer) {
        std::size_t best = answers.size();
        int positives = 0;
        for (std::size_t i = 0; i < answers.size(); ++i) {
            if (answers[i].fraction <= 0)
                continue;
            ++positives;
            if (best == answers.size() || answers[i].fraction > answers[best].fraction)
                best = i;
        }
        if (best < answers.size())
            marks[best] = answers[best].fraction >= fullMarks ? grade : markOf(grade, answers[best].fraction);
        if (positives > 1)
            note(notes, "partial credit of a single-answer question dropped");
        return marks;
    }
    std::vector<double> weights;
    std::vector<std::size_t> where;
    double sum = 0;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (answers[i].fraction > 0) {
            weights.push_back(answers[i].fraction);
            where.push_back(i);
            sum += answers[i].fraction;
        }
    }
    // Shares beyond the whole (a capped mapping) still give the grade at most.
    const int total = sum >= 0.999 ? grade : markOf(grade, sum);
    const std::vector<int> shares = splitHundredths(total, weights);
    for (std::size_t k = 0; k < where.size(); ++k)
        marks[where[k]] = shares[k];
    return marks;
}

std::vector<std::string> acceptedShortAnswers(const Question& question, std::vector<std::string>& notes)
{
    std::vector<std::string> out;
    for (const Answer& answer : question.answers) {
        if (answer.fraction < fullMarks) {
            if (answer.fraction > 0)
                note(notes, "a partial-credit answer dropped");
            continue;
        }
        if (answer.plain.find('*') != std::string::npos) {
            note(notes, "a wildcard answer left out");
            continue;
        }
        const std::string bytes = utf8ToCp1252(answer.plain, '\x01');
        if (bytes.empty() || bytes.find_first_not_of(typeable) != std::string::npos) {
            note(notes, "an answer with characters that cannot be typed left out");
            continue;
        }
        if (out.size() == 20) {
            note(notes, "answers beyond the 20th left out");
            break;
        }
        out.push_back(answer.plain);
    }
    if (question.caseSensitive && !out.empty())
        note(notes, "a case-sensitive answer is accepted in any case");
    return out;
}

std::string decimalText(const std::string& text)
{
    double value = 0;
    if (!parseNumber(text, value))
        return "";
    std::string copy;
    for (const char ch : text)
        if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n' && ch != '+')
            copy += ch == ',' ? '.' : ch;
    if (copy.find_first_of("eE") != std::string::npos) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.12f", value);
        copy = buffer;
    }
    const Decimal d = parseDecimal(copy);
    return d == decimalInvalid ? "" : formatDecimal(d);
}

bool numberField(const Question& question, NumberField& field, std::vector<std::string>& notes)
{
    std::vector<const NumberAnswer*> full;
    for (const NumberAnswer& answer : question.numbers) {
        if (answer.fraction >= fullMarks)
            full.push_back(&answer);
        else if (answer.fraction > 0)
            note(notes, "a partial-credit answer dropped");
    }
    if (full.empty())
        return false;
    auto isRange = [](const NumberAnswer* a) {
        return a->isRange || (!a->tolerance.empty() && parseDecimal(decimalText(a->tolerance)) > 0);
    };
    const NumberAnswer* range = nullptr;
    for (const NumberAnswer* a : full)
        if (isRange(a) && !range)
            range = a;
    if (range) {
        if (full.size() > 1)
            note(notes, "only the first accepted range kept");
        std::string low, high;
        if (range->isRange) {
            low = decimalText(range->low);
            high = decimalText(range->high);
        } else {
            const Decimal v = parseDecimal(decimalText(range->value));
            const Decimal t = parseDecimal(decimalText(range->tolerance));
            if (v == decimalInvalid || t == decimalInvalid)
                return false;
            const Decimal limit = 9223372036854775807LL / 4;
            if (v > limit || v < -limit || t > limit)
                return false;
            low = formatDecimal(v - t);
            high = formatDecimal(v + t);
        }
        if (low.empty() || high.empty())
            return false;
        field.useRange = true;
        field.answers = {low, high};
    } else {
        for (const NumberAnswer* a : full) {
            const std::string value = decimalText(a->value);
            if (!value.empty() && field.answers.size() < 20)
                field.answers.push_back(value);
        }
        if (field.answers.empty())
            return false;
    }
    const bool whole = !field.useRange && std::all_of(field.answers.begin(), field.answers.end(), [](const std::string& a) {
        return a.find('.') == std::string::npos && a.size() < 10;
    });
    field.editRestriction = whole ? 2 : 1;
    return true;
}

} // namespace zx::import
