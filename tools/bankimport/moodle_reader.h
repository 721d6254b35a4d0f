// Moodle XML (<quiz><question type="...">): multichoice, truefalse,
// shortanswer, numerical, matching, description and multianswer (cloze),
// with base64 <file> pictures, category records and feedback.
#pragma once

#include "tools/bankimport/question_model.h"

#include <string_view>

namespace zx::import {

SourceDocument readMoodle(std::string_view bytes);

// A cloze text with its gaps taken out: each gap is replaced by the marker
// "\x01" N "\x02" (N its index) in `text`; the gaps become questions.
// Exposed for the tests.
std::string takeClozeGaps(std::string_view html, std::vector<Question>& gaps);
// Turns RichText holding gap markers into cloze pieces (pictures stay in
// the question's text).
void splitClozePieces(const RichText& marked, Question& question);

} // namespace zx::import
