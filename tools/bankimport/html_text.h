// HTML fragments of question sources read into RichText with libxml2's
// HTML parser: block elements start paragraphs, <b>/<strong> and
// <i>/<em> give bold and italic paragraphs, <h1>..<h3> headings, <br> a
// line break, <img src> a picture block.  Plain text is split at blank
// lines.
#pragma once

#include "tools/bankimport/question_model.h"

#include <functional>
#include <string>
#include <string_view>

namespace zx::import {

// Maps an <img src> (or <object data>) value to a picture key; "" drops the
// picture (one that the source does not hold).
using PictureResolver = std::function<std::string(const std::string& src)>;

RichText htmlToRichText(std::string_view html, const PictureResolver& pictures = {});
RichText plainToRichText(std::string_view text);
// HTML to plain text, as a name or an answer: paragraphs joined by spaces.
std::string htmlToPlain(std::string_view html);

// A name made from a question's text: at most about 60 characters, cut at
// a word, never inside a UTF-8 sequence.
std::string nameFromText(const std::string& plain);

// Folds runs of white space into one space and trims both ends.
std::string foldSpaces(std::string_view text);

} // namespace zx::import
