// The questions of a source file as the importer understands them, before
// any page is laid out.  Every reader (GIFT, Moodle XML, QTI) fills this
// model; the page builder turns it into page records.  Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace zx::import {

// One block of a question's text: a paragraph of one style, or a picture.
struct TextBlock {
    enum class Kind { Paragraph, Picture };
    Kind kind = Kind::Paragraph;
    std::string text;    // paragraph text; line breaks as '\n'
    bool bold = false;
    bool italic = false;
    int heading = 0;     // 1..3 for h1..h3, 0 for body text
    std::string picture; // picture: key into SourceDocument::pictures
};

struct RichText {
    std::vector<TextBlock> blocks;

    bool empty() const;
    // The paragraphs joined by single spaces, white space folded: for names.
    std::string plain() const;
    static RichText fromPlain(const std::string& text);
};

enum class QuestionKind {
    Choice,      // single or multiple answer
    TrueFalse,
    ShortAnswer,
    Numerical,
    Matching,
    Ordering,
    Description,
    Cloze,
    Unsupported, // skipped, with skipReason
};

// A choice, a short answer or a matching answer.
struct Answer {
    RichText text;
    std::string plain;     // the text as plain text
    double fraction = 0;   // share of the grade, 1 = full marks
    RichText feedback;
};

// A numerical answer: value with tolerance, or a range.
struct NumberAnswer {
    std::string value;     // decimal text
    std::string tolerance; // decimal text, "" or "0" for none
    bool isRange = false;
    std::string low, high; // the range ends, when isRange
    double fraction = 1;
    RichText feedback;
};

// A matching pair: the prompt is a drag target, the answer a drag item.
// A pair without prompt is an extra answer (a distractor).
struct MatchPair {
    RichText prompt;
    std::string promptPlain;
    std::string answer; // plain text
};

struct Question;

// A cloze text: pieces of text with gaps; each gap is a small question
// (choice, short answer or numerical) of its own.
struct ClozePiece {
    std::string text; // text before the gap (plain)
    int gap = -1;     // index into Question::gaps, -1 for text only
};

struct Question {
    std::string name;     // the question's name in the source
    std::string kindName; // the source's word for the kind ("multichoice")
    QuestionKind kind = QuestionKind::Unsupported;
    std::string skipReason;
    RichText text;
    int grade = 100;      // hundredths
    std::string category; // "A/B", "" for none

    bool singleAnswer = true;      // Choice
    std::vector<Answer> answers;   // Choice, ShortAnswer
    bool caseSensitive = false;    // ShortAnswer
    bool trueIsCorrect = true;     // TrueFalse
    RichText trueFeedback, falseFeedback;
    std::vector<NumberAnswer> numbers; // Numerical
    std::vector<MatchPair> pairs;      // Matching (GIFT, Moodle): prompt and answer
    // Matching and ordering as drag items (answers) and targets: each item's
    // right target (-1 for a distractor); its fraction is its share.
    std::vector<std::string> targets;
    std::vector<int> itemTarget;
    std::vector<ClozePiece> pieces;    // Cloze
    std::vector<Question> gaps;        // Cloze
    std::string gapTail;               // Cloze: text after the last gap

    RichText generalFeedback, correctFeedback, partialFeedback, incorrectFeedback;
    // What the reader had to change (custom response processing, ...).
    std::vector<std::string> approximations;
};

struct Picture {
    std::string key;   // how blocks refer to it
    std::string bytes; // the file's bytes as found in the source
};

struct SourceDocument {
    std::vector<Question> questions;
    std::vector<Picture> pictures;
    std::string error; // why nothing could be read, "" when read
};

// The picture of that key, or nullptr.
const Picture* findPicture(const SourceDocument& document, const std::string& key);

} // namespace zx::import
