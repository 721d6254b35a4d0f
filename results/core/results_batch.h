// Many results files at once, as the teacher's tools take them: files and
// folders named on a command line, each file read and checked on its own
// so that one damaged file is reported in one line and the others are
// still processed.
#pragma once

#include "results/core/results_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zx {

// Results files are a few hundred kilobytes at most; larger files are not
// read at all, which bounds the memory a wrong or hostile file can take.
inline constexpr std::uintmax_t maxResultsFileBytes = 256u * 1024u * 1024u;

struct ResultsFileList {
    std::vector<std::string> files;  // in the order named; each folder's files sorted by name
    std::vector<std::string> errors; // one line per name that gave no file: "NAME: reason"
};

// A file is taken as named, whatever its extension.  A folder gives its
// regular files whose extension is ".zxr" in any case (not those of its
// sub-folders), sorted by name byte by byte.  A missing name, a folder
// that cannot be listed and a folder without results files are errors.
ResultsFileList collectResultsFiles(const std::vector<std::string>& names);

struct ResultsFileRead {
    ResultsFileContent content;
    std::string error; // empty when the content can be used: "reason", without the file name

    bool ok() const { return error.empty(); }
};

// Reads and unscrambles a results file (readStoredFile) and checks that it
// is whole: a missing or unreadable file, one too large, one that does not
// unscramble into a results file, one cut short before the end of its
// question list, and one made for a newer player are refused with their
// reason.
ResultsFileRead readResultsFile(const std::string& path);

} // namespace zx
