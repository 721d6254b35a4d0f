// The commands of zxresults.  Each returns the program's exit status
// (see batch.h).
#pragma once

#include "results/core/results_table.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zxresults {

struct Options {
    std::vector<std::string> inputs; // files and folders
    zx::TableFormat format = zx::TableFormat::Csv;
    bool formatGiven = false;        // --csv or --tsv named
    std::string htmlOut;             // stats --html
    std::string language;            // --lang: a name in ExLang/ or a .zxc file; empty: English (UK)
    std::string outDir;              // --out
    std::filesystem::path programFolder;
};

// The line between the detailed report and the summary in `show` and
// `report`: 20 "=".
inline constexpr const char* reportSeparator = "====================\n";

int runTable(const Options& options);
// stats_command.cpp
int runStats(const Options& options);
int runShow(const Options& options);
int runReport(const Options& options);
int runVerify(const Options& options);
// Needs the Qt PDF writer; `argc`/`argv` start its application object.
int runPdf(const Options& options, int argc, char** argv);

} // namespace zxresults
