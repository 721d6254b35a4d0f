#include "tools/zxresults/batch.h"

#include "results/core/results_table.h"

#include <unistd.h>

namespace zxresults {

Progress::Progress(std::size_t total, bool enabled)
    : m_total(total)
    , m_enabled(enabled && total > progressThreshold && isatty(STDERR_FILENO) == 1)
{
}

Progress::~Progress() { clear(); }

void Progress::show(std::size_t done)
{
    // Redrawn when the whole percentage changes, and after a wipe.
    const std::size_t percent = m_total == 0 ? 100 : done * 100 / m_total;
    if (!m_enabled || (m_shown && percent == m_percent))
        return;
    m_percent = percent;
    std::fprintf(stderr, "\rzxresults: %zu/%zu files", done, m_total);
    std::fflush(stderr);
    m_shown = true;
}

void Progress::clear()
{
    if (!m_shown)
        return;
    // Back to the start of the line and erase it.
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    m_shown = false;
}

void writeOut(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void printError(std::string_view text)
{
    // Names and reasons may come from the files: shown, never acted on.
    const std::string shown = zx::printableText(text);
    std::fflush(stdout);
    std::fprintf(stderr, "zxresults: %.*s\n", static_cast<int>(shown.size()), shown.data());
    std::fflush(stderr);
}

Batch::Batch(const std::vector<std::string>& names)
    : Batch(zx::collectResultsFiles(names))
{
}

Batch::Batch(zx::ResultsFileList list)
    : m_files(std::move(list.files))
    , m_progress(m_files.size(), true)
    , m_failed(!list.errors.empty())
{
    for (const std::string& error : list.errors)
        printError(error);
}

void Batch::run(const std::function<void(const std::string&, const zx::ResultsFileRead&)>& each, bool withFailures)
{
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        m_progress.show(i);
        const zx::ResultsFileRead read = zx::readResultsFile(m_files[i]);
        if (!read.ok()) {
            m_failed = true;
            if (!withFailures) {
                fail(m_files[i], read.error);
                continue;
            }
        }
        each(m_files[i], read);
    }
    m_progress.clear();
}

void Batch::fail(const std::string& path, std::string_view reason)
{
    m_failed = true;
    m_progress.clear();
    printError(path + ": " + std::string(reason));
}

void Batch::out(std::string_view text)
{
    m_progress.clear();
    writeOut(text);
}

} // namespace zxresults
