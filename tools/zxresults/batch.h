// The run of one zxresults command over its files: the files and folders
// named, a progress line on standard error while many files are read, and
// one line per file that fails while the others go on.
#pragma once

#include "results/core/results_batch.h"

#include <cstddef>
#include <cstdio>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zxresults {

// Exit statuses.
inline constexpr int exitOk = 0;
inline constexpr int exitAltered = 1;     // verify: a file disagrees with its own answers
inline constexpr int exitUsage = 2;       // wrong command line
inline constexpr int exitSomeFailed = 3;  // a file could not be read (or verified); the others were processed

// "\rzxresults: 120/1000 files" on standard error, kept up to date while
// more than `progressThreshold` files are processed and standard error is
// a terminal.  The line is wiped before any other output and at the end.
inline constexpr std::size_t progressThreshold = 10;

class Progress {
public:
    Progress(std::size_t total, bool enabled);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void show(std::size_t done);
    void clear();

private:
    std::size_t m_total;
    bool m_enabled;
    bool m_shown = false;
    std::size_t m_percent = 0;
};

// Writes to standard output (bytes as they are) and flushes it.
void writeOut(std::string_view text);
// "zxresults: <text>" on standard error, control characters shown as "?".
void printError(std::string_view text);

class Batch {
public:
    // Collects the files; the names that give none are reported at once.
    explicit Batch(const std::vector<std::string>& names);

    std::size_t size() const { return m_files.size(); }
    // Calls `each` for every file, in order, with the file read and
    // checked; a file that fails to read is reported ("zxresults: PATH:
    // reason") and `each` is not called for it unless `withFailures`.
    void run(const std::function<void(const std::string& path, const zx::ResultsFileRead& read)>& each,
             bool withFailures = false);
    // The same on all processors: prepare(path, read) runs on worker
    // threads (it must only read shared state) and its value is handed to
    // deliver(path, value) on this thread, in file order.  A file that
    // fails to read is reported and skipped unless `withFailures`, when
    // prepare gets it too.
    template <class Prepare, class Deliver>
    void runParallel(const Prepare& prepare, const Deliver& deliver, bool withFailures = false);
    // Reports a failure of `path` found by the caller.
    void fail(const std::string& path, std::string_view reason);
    // Output that must not run into the progress line.
    void out(std::string_view text);

    bool anyFailed() const { return m_failed; }
    void markFailed() { m_failed = true; }

private:
    explicit Batch(zx::ResultsFileList list);

    std::vector<std::string> m_files;
    Progress m_progress;
    bool m_failed = false;
};

// What a worker made of one file.
template <class Value>
struct PreparedFile {
    std::string error;
    std::optional<Value> value;
};

template <class Prepare, class Deliver>
void Batch::runParallel(const Prepare& prepare, const Deliver& deliver, bool withFailures)
{
    using Value = decltype(prepare(std::string(), zx::ResultsFileRead()));
    using Prepared = PreparedFile<Value>;
    std::vector<Prepared> preparedFiles(m_files.size());
    zx::runInOrder(
        m_files.size(), zx::readerThreads(),
        [&](std::size_t i) {
            Prepared& item = preparedFiles[i];
            try {
                const zx::ResultsFileRead read = zx::readResultsFile(m_files[i]);
                item.error = read.error;
                if (read.ok() || withFailures)
                    item.value.emplace(prepare(m_files[i], read));
            } catch (const std::exception& e) {
                // Memory ran out on a huge file: that file fails alone.
                item.error = std::string("cannot be processed (") + e.what() + ")";
                item.value.reset();
            }
        },
        [&](std::size_t i) {
            m_progress.show(i);
            Prepared item = std::move(preparedFiles[i]);
            preparedFiles[i] = Prepared();
            if (!item.error.empty())
                m_failed = true;
            if (!item.value) {
                fail(m_files[i], item.error);
                return;
            }
            deliver(m_files[i], *item.value);
        });
    m_progress.clear();
}

} // namespace zxresults
