// zxresults: the teacher's side of results files - a class list of many
// files, each file's reports as text or PDF, and a check that no file was
// altered after the test.
#include "app/core/program_version.h"
#include "tools/zxresults/batch.h"
#include "tools/zxresults/commands.h"

#include <filesystem>
#include <malloc.h>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* usageText =
    "usage: zxresults table [--csv|--tsv] FILE_OR_FOLDER...\n"
    "                              one row per results file, scored again (CSV by default)\n"
    "       zxresults stats [--csv|--tsv] [--html OUT.html] FILE_OR_FOLDER...\n"
    "                              how each question and the test worked: facility,\n"
    "                              discrimination, choices, reliability (CSV by default;\n"
    "                              with --html a page of charts, and CSV only when asked)\n"
    "       zxresults show FILE.zxr      the stored detailed report and summary as text\n"
    "       zxresults report [--lang NAME] FILE.zxr\n"
    "                              both reports written again from the stored answers\n"
    "       zxresults pdf --out DIR FILE_OR_FOLDER...\n"
    "                              a PDF of each file's reports\n"
    "       zxresults verify FILE_OR_FOLDER...\n"
    "                              check each file's stored totals against its answers\n"
    "       zxresults --version\n"
    "A folder stands for its .zxr files.  Exit status: 0 all done, 1 verify found an\n"
    "altered file, 2 wrong command line, 3 some file could not be read or verified.\n";

int usage(const std::string& problem = {})
{
    if (!problem.empty())
        zxresults::printError(problem);
    std::cerr << usageText;
    return zxresults::exitUsage;
}

// The folder of the running program, where ExLang/ lies.
fs::path programFolder(const char* argv0)
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self.parent_path();
    return fs::absolute(argv0, ec).parent_path();
}

} // namespace

int main(int argc, char** argv)
{
    // Each results file takes a few buffers of its own size, made and
    // freed again file after file: kept in the heap instead of being
    // mapped and returned to the system each time, they are not paged in
    // anew for every file.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage();
    const std::string& command = args[0];
    if (command == "-h" || command == "--help" || command == "help") {
        std::cout << usageText;
        return zxresults::exitOk;
    }
    if (command == "--version") {
        std::cout << zx::versionBanner("zxresults");
        return zxresults::exitOk;
    }

    zxresults::Options options;
    options.programFolder = programFolder(argv[0]);
    bool formatGiven = false;
    bool optionsEnd = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnd || a.empty() || a[0] != '-' || a == "-") {
            options.inputs.push_back(a);
        } else if (a == "--") {
            optionsEnd = true;
        } else if ((a == "--csv" || a == "--tsv") && (command == "table" || command == "stats")) {
            if (formatGiven)
                return usage("give --csv or --tsv once");
            formatGiven = true;
            options.formatGiven = true;
            options.format = a == "--csv" ? zx::TableFormat::Csv : zx::TableFormat::Tsv;
        } else if (a == "--html" && command == "stats" && i + 1 < args.size()) {
            options.htmlOut = args[++i];
        } else if (a.rfind("--html=", 0) == 0 && command == "stats" && a.size() > 7) {
            options.htmlOut = a.substr(7);
        } else if (a == "--lang" && command == "report" && i + 1 < args.size()) {
            options.language = args[++i];
        } else if (a.rfind("--lang=", 0) == 0 && command == "report") {
            options.language = a.substr(7);
        } else if (a == "--out" && command == "pdf" && i + 1 < args.size()) {
            options.outDir = args[++i];
        } else if (a.rfind("--out=", 0) == 0 && command == "pdf") {
            options.outDir = a.substr(6);
        } else {
            return usage("unknown option " + a + " for " + command);
        }
    }

    if (command == "table" || command == "stats" || command == "verify" || command == "pdf") {
        if (options.inputs.empty())
            return usage("name at least one results file or folder");
        if (command == "table")
            return zxresults::runTable(options);
        if (command == "stats")
            return zxresults::runStats(options);
        if (command == "verify")
            return zxresults::runVerify(options);
        if (options.outDir.empty())
            return usage("pdf needs --out DIR");
        return zxresults::runPdf(options, argc, argv);
    }
    if (command == "show")
        return zxresults::runShow(options);
    if (command == "report")
        return zxresults::runReport(options);
    return usage("unknown command " + command);
}
