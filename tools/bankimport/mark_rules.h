// How the marks of a source question are shared among the answer objects
// of its page.  The objects' best marks add up to the question's grade
// exactly in hundredths; where the answer objects cannot give a source's
// partial credit, the credit is dropped and the reason recorded.
#pragma once

#include "tools/bankimport/question_model.h"

#include <string>
#include <vector>

namespace zx::import {

// Shares `total` hundredths in proportion to the (non-negative) weights;
// the shares add up to `total`: floors first, then the remainders go one
// by one to the largest fractional parts, earlier ones first on a tie.
// Three equal weights of 100 give 34, 33, 33.
std::vector<int> splitHundredths(int total, const std::vector<double>& weights);

// Marks of choice buttons (buttonMarkIfSelected, in hundredths), one per
// answer.  A single-answer question keeps one positive mark (the best);
// other positive marks are dropped and noted.
std::vector<int> choiceMarks(const Question& question, int grade, std::vector<std::string>& notes);

// The answers a short-answer field accepts (full marks only, at most 20,
// only what a candidate can type); notes say what was left out.
std::vector<std::string> acceptedShortAnswers(const Question& question, std::vector<std::string>& notes);

// A numerical question as a field: kind 1 decimal or 2 whole number,
// range or list.
struct NumberField {
    int editRestriction = 1;
    bool useRange = false;
    std::vector<std::string> answers; // FieldAnswer1.. (the range ends when useRange)
};
bool numberField(const Question& question, NumberField& field, std::vector<std::string>& notes);

// Decimal text of a number given as text ("3.14", "1e3"), normalised for
// the field's reading (no exponent, "." as the point); "" for no number.
std::string decimalText(const std::string& text);

} // namespace zx::import
