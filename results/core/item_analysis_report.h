// The item analysis written out: as one CSV or TSV text of several tables
// (the test, the questions, the choices, the typed answers, the
// categories, the distribution; a blank line between them), and as one
// self-contained HTML page with its charts drawn in inline SVG, readable
// without a network or a script, on screen and on paper.
#pragma once

#include "results/core/item_analysis.h"
#include "results/core/results_table.h" // TableFormat

#include <string>

namespace zx {

std::string writeStatisticsTable(const TestStatistics& statistics, TableFormat format);

std::string writeStatisticsPage(const TestStatistics& statistics);

// Text for HTML: "&", "<", ">", quotes escaped; control characters other
// than tab and line feed become spaces.
std::string htmlText(std::string_view text);

} // namespace zx
