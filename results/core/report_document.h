// A report as the player writes, stores, shows and prints it: a list of
// paragraphs, each with its alignment and runs of text in one character
// format.  The reports written at the end of a test have one run per
// paragraph (or none for an empty line); documents read back from rich
// text may mix formats inside a paragraph.
//
// Texts are UTF-8.  The writers convert the Windows-1252 bytes of tagged
// text when they append a line; the rich-text writer turns the text back
// into the code page (and \uN for what it has no byte for).
//
// Nothing here knows Qt or rich text: the views, the results files and the
// command-line tools each translate this model.
#pragma once

#include <string>
#include <vector>

namespace zx {

struct CharFormat {
    std::string fontName = "Arial";
    int pointSize = 12; // whole points (a rich-text \fs counts half-points)
    bool bold = false;
    bool italic = false;

    bool operator==(const CharFormat&) const = default;
};

enum class Alignment { Left, Centre, Right, Justify };

struct TextRun {
    std::string text; // UTF-8
    CharFormat format;

    bool operator==(const TextRun&) const = default;
};

struct Paragraph {
    Alignment alignment = Alignment::Centre;
    std::vector<TextRun> runs; // empty for an empty line
    // The format in force at the paragraph's end (its mark).  An empty line
    // has only this format; text inserted into it takes this format.
    CharFormat endFormat;

    // All runs joined.
    std::string text() const;
    bool operator==(const Paragraph&) const = default;
};

struct ReportDocument {
    std::vector<Paragraph> paragraphs;

    bool empty() const { return paragraphs.empty(); }
    // The paragraphs' texts, one a line, each ended by "\n".
    std::string plainText() const;
    bool operator==(const ReportDocument&) const = default;
};

// Joins neighbouring runs of one format and drops empty runs, so that two
// documents showing the same thing compare equal.
void normalise(Paragraph& paragraph);
void normalise(ReportDocument& document);

} // namespace zx
