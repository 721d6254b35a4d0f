// A class list made from many results files: one row per file with the
// candidate's details, the test, its start and end, the totals, each
// category's score and best, and each question's score.  The scores are
// worked out again from the stored question list under the stored test
// settings (the same scoring the player runs at Finish), never read from
// the stored reports.
//
// Columns, in this order:
//   File, the candidate's details (one column per entry label, e.g. "Name",
//   "Class"), Test, Started, Finished, then, when any file is of a timed
//   test, "Time limit (min)", "Extra time (%)", "Time allowed (s)", "Time
//   used (s)", "Not running (s)", "Time ran out" (yes or no; all six empty
//   for a file without a limit), then Score, Best, Worst, Items,
//   Percentage, "<category> score" and "<category> best" for every
//   category, "Q1", "Q2", ... for every question number.
// Files of different tests differ in their details, categories and
// questions: the table has the union of them, each file's cells empty
// where it has none.  Labels and categories keep the order the files give
// them (a name new to the table goes just before the next name of its own
// file that the table has, or at the end); question columns are in number
// order.
//
// Cells: texts in UTF-8 (the stored Windows-1252 converted); marks as the
// detailed report writes them ("12.50"); the percentage as the detailed
// report computes it, without the "%" ("66.66", "0" when there is no base);
// dates as ISO 8601 local time ("2026-12-06T14:30:05").  A category
// without items and a question without answer objects have empty cells,
// as their reports show no score for them.
#pragma once

#include "results/core/results_file.h"
#include "results/core/scoring.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zx {

// One results file scored again.
struct ResultsRow {
    std::string file; // as it was named
    // (label, value) in UTF-8, in entry order.  An entry is taken when its
    // value is not empty, or when the test asked for details and its label
    // is not empty; an entry without a label is named "Detail n", a label
    // the file has used before gets " (2)", " (3)".
    std::vector<std::pair<std::string, std::string>> details;
    std::string testName; // UTF-8; empty when the test has none ("0")
    std::string started;  // ISO 8601; empty when not stored or no date
    std::string finished;
    std::optional<TestTiming> timing;
    TestScore score;
};

ResultsRow makeResultsRow(std::string file, const ResultsFileContent& content);

// "20261206143005" -> "2026-12-06T14:30:05"; empty for anything other than
// 14 digits of a possible date and time.
std::string isoDateTime(std::string_view stamp);

enum class TableFormat {
    Csv, // RFC 4180: "," between cells, CR LF after each row
    Tsv, // a tab between cells, LF after each row
};

// One cell as written: quoted (inner quotes doubled) when it holds the
// separator, a quote, CR or LF; otherwise as it is.
std::string tableField(std::string_view text, char separator);

// `utf8` with every control character (C0, DEL, U+0080..U+009F) replaced
// by "?", so that a terminal shows a candidate's text and never acts on
// it; with `keepLineBreaks` an LF, and a CR right before one, stay.
std::string printableText(std::string_view utf8, bool keepLineBreaks = false);

// A text cell as a spreadsheet should show it: printable (control
// characters replaced as above, line breaks kept), and one that begins with "=", "+", "-" or
// "@", after any spaces, gets a leading "'", so that a candidate's details
// can never be taken for a formula.  Numbers and dates are not passed
// through this.
std::string spreadsheetText(std::string_view text);

class ResultsTable {
public:
    void add(ResultsRow row);

    std::size_t rowCount() const { return m_rows.size(); }
    std::vector<std::string> header() const;
    // The cells of row `index`, one per header column.
    std::vector<std::string> cells(std::size_t index) const;
    // Header and rows.
    std::string write(TableFormat format) const;

private:
    std::vector<ResultsRow> m_rows;
    std::vector<std::string> m_detailLabels; // UTF-8
    std::vector<std::string> m_categories;   // as stored (Windows-1252)
    std::vector<int> m_questions;            // indices, ascending
    bool m_timed = false;                    // some row has a timing record
};

} // namespace zx
