// Many results files at once, as the teacher's tools take them: files and
// folders named on a command line, each file read and checked on its own
// so that one damaged file is reported in one line and the others are
// still processed.
#pragma once

#include "results/core/results_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
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

// Threads that read and score results files: one per processor, at least
// one, at most 8.
unsigned readerThreads();

// Runs work(i) for every i in 0 .. count-1 on `threads` threads (the
// calling thread and threads - 1 more) and deliver(i) on the calling
// thread, in the order of i, each as soon as work(i) has returned.  At most
// `ahead` items are worked on beyond the one to be delivered next, which
// bounds what the caller holds between work and deliver.  work must be
// safe to run for different i at once; it must not throw (an exception
// ends the program).  With one thread the calls simply alternate.
void runInOrder(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver, std::size_t ahead = 64);

} // namespace zx
