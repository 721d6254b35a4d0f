// Moodle XML (<quiz><question type="...">): multichoice, truefalse,
// shortanswer, numerical, matching, description and multianswer (cloze),
// with base64 <file> pictures, category records and feedback.
#pragma once

#include "tools/bankimport/question_model.h"

#include <string>
#include <string_view>

namespace zx::import {

SourceDocument readMoodle(std::string_view bytes);

// Marks of a gap inside a text: two private-use characters around the
// gap's number, which survive the HTML reader.
inline const std::string gapOpen = "\xEE\x80\x80";
inline const std::string gapClose = "\xEE\x80\x81";

// A cloze text with its gaps taken out: each gap is replaced by gapOpen N
// gapClose (N its index); the gaps become questions.
std::string takeClozeGaps(std::string_view html, std::vector<Question>& gaps);
// Turns RichText holding gap markers into cloze pieces (pictures stay in
// the question's text).
void splitClozePieces(const RichText& marked, Question& question);

} // namespace zx::import
