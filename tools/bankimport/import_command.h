// The `zxbank import` command line: options, the offscreen Qt application
// the measuring needs, and the run.
#pragma once

#include "tools/bankimport/bank_import.h"

#include <string>
#include <vector>

namespace zx::import {

inline constexpr const char* importUsage =
    "       zxbank import [options] SOURCE... OUT.zxb\n"
    "                                       make a bank from GIFT, Moodle XML or QTI files\n"
    "         --format gift|moodle|qti      the sources' format (default: from the content)\n"
    "         --page 640x480|800x600|1024x768   page size (default 800x600)\n"
    "         --title TEXT                  bank title and a title page before the test\n"
    "         --exam                        an exam: no marking, no answers shown\n"
    "         --random N                    N questions in random order\n"
    "         --details                     ask the candidate's details\n"
    "         --time-limit MIN              a time limit in minutes\n"
    "         --folder DIR                  write a source folder for `zxbank pack` instead\n";

// Parses the arguments after "import"; false with `error` for wrong ones.
bool parseImportArguments(const std::vector<std::string>& args, ImportOptions& options, std::string& error);

// Runs `zxbank import`; returns the exit status (2 for wrong arguments).
int runImportCommand(const std::vector<std::string>& args, int argc, char** argv);

} // namespace zx::import
