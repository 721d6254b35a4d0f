#include "results/core/results_batch.h"

#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace zx {

ResultsFileList collectResultsFiles(const std::vector<std::string>& names)
{
    ResultsFileList list;
    for (const std::string& name : names) {
        std::error_code ec;
        const fs::file_status status = fs::status(name, ec);
        if (ec || !fs::exists(status)) {
            list.errors.push_back(name + ": no such file or folder");
            continue;
        }
        if (!fs::is_directory(status)) {
            list.files.push_back(name);
            continue;
        }
        std::vector<std::string> found;
        fs::directory_iterator entries(name, ec);
        for (; !ec && entries != fs::directory_iterator(); entries.increment(ec)) {
            const fs::directory_entry& entry = *entries;
            std::error_code typeError;
            if (entry.is_regular_file(typeError) && lowerExtension(entry.path().filename().string()) == ".zxr")
                found.push_back((fs::path(name) / entry.path().filename()).string());
        }
        if (ec) {
            list.errors.push_back(name + ": the folder cannot be read (" + ec.message() + ")");
            continue;
        }
        if (found.empty()) {
            list.errors.push_back(name + ": the folder holds no results file (.zxr)");
            continue;
        }
        std::sort(found.begin(), found.end());
        list.files.insert(list.files.end(), found.begin(), found.end());
    }
    return list;
}

ResultsFileRead readResultsFile(const std::string& path)
{
    ResultsFileRead read;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        read.error = "no such file";
        return read;
    }
    if (!fs::is_regular_file(status)) {
        read.error = "not a file";
        return read;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || !std::ifstream(path, std::ios::binary)) {
        read.error = "cannot be opened for reading";
        return read;
    }
    if (size > maxResultsFileBytes) {
        read.error = "too large for a results file (" + std::to_string(size) + " bytes)";
        return read;
    }
    if (size <= storedFileOverhead) {
        read.error = size == 0 ? "empty file" : "too short for a results file (" + std::to_string(size) + " bytes)";
        return read;
    }
    // Capped again while reading: the file may have grown since.
    const std::optional<std::string> bytes = readStoredFile(path, maxResultsFileBytes);
    if (!bytes) {
        read.error = "too large for a results file";
        return read;
    }
    const std::string& content = *bytes;
    // The elements come in a fixed order and the question list is the
    // last of them: a file that begins like a results file but does not
    // close its question list has lost its end.
    const bool begins = content.rfind("<resultsRTF>", 0) == 0;
    const std::size_t listStart = findText(content, "<qList>");
    const bool ends = listStart != std::string::npos && findText(content, "</qList>", listStart) != std::string::npos;
    if (!ends) {
        read.error = begins ? "cut short: the question list does not end (the file is incomplete)"
                            : "not a results file, or damaged beyond reading";
        return read;
    }
    read.content = parseResultsContent(content);
    if (read.content.version >= firstRefusedResultsVersion) {
        read.error = "made for a newer version of the player (version " + std::to_string(read.content.version) + ")";
        read.content = {};
    }
    return read;
}

unsigned readerThreads()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

void runInOrder(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver, std::size_t ahead)
{
    ahead = std::max<std::size_t>(ahead, 1);
    threads = static_cast<unsigned>(std::min<std::size_t>({std::max(threads, 1u), count, ahead, 64}));
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            deliver(i);
        }
        return;
    }

    // The workers take the items in turn, never more than `ahead` past the
    // one to be delivered next; the calling thread delivers.
    std::mutex lock;
    std::condition_variable workDone;  // an item finished
    std::condition_variable delivered; // the window moved on
    std::vector<char> done(count, 0);
    std::size_t next = 0;
    std::size_t deliveredCount = 0;

    auto worker = [&] {
        std::unique_lock<std::mutex> held(lock);
        for (;;) {
            delivered.wait(held, [&] { return next >= count || next < deliveredCount + ahead; });
            if (next >= count)
                return;
            const std::size_t i = next++;
            held.unlock();
            work(i);
            held.lock();
            done[i] = 1;
            if (i == deliveredCount)
                workDone.notify_one();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back(worker);

    for (std::size_t i = 0; i < count; ++i) {
        {
            std::unique_lock<std::mutex> held(lock);
            workDone.wait(held, [&] { return done[i] != 0; });
        }
        deliver(i);
        {
            const std::lock_guard<std::mutex> held(lock);
            deliveredCount = i + 1;
        }
        delivered.notify_all();
    }
    for (std::thread& thread : pool)
        thread.join();
}

} // namespace zx
