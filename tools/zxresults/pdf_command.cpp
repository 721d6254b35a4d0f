// zxresults pdf: each results file's reports as the player prints them, as
// a PDF file in the output folder, written by the player's own PDF writer
// without a window.
#include "objects/qt_text.h"
#include "results/report_pdf.h"
#include "tools/zxresults/batch.h"
#include "tools/zxresults/commands.h"

#include <QApplication>
#include <QString>

#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace zxresults {

namespace {

// OUT/<name of the results file>.pdf; a name already written in this run
// gets "-2", "-3", ... so that files of the same name from two folders do
// not overwrite each other.
std::string pdfPath(const fs::path& outDir, const std::string& input, std::set<std::string>& used)
{
    const std::string stem = fs::path(input).stem().string();
    std::string name = stem + ".pdf";
    for (int k = 2; used.count(name) > 0; ++k)
        name = stem + "-" + std::to_string(k) + ".pdf";
    used.insert(name);
    return (outDir / name).string();
}

} // namespace

int runPdf(const Options& options, int argc, char** argv)
{
    std::error_code ec;
    fs::create_directories(options.outDir, ec);
    if (!fs::is_directory(options.outDir, ec)) {
        printError(options.outDir + ": the output folder cannot be made");
        return exitSomeFailed;
    }
    // The PDF writer needs an application object but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    Batch batch(options.inputs);
    std::set<std::string> used;
    batch.run([&](const std::string& path, const zx::ResultsFileRead& read) {
        const std::vector<zx::ReportDocument> reports = zx::reportsOnShow(read.content);
        if (reports.empty()) {
            batch.fail(path, "the file shows no report (its test settings show none)");
            return;
        }
        const std::string out = pdfPath(options.outDir, path, used);
        QString error;
        if (!zx::writeReportsPdf(reports, zx::pathFromLocal(out), &error)) {
            batch.fail(path, zx::localPath(error));
            return;
        }
        batch.out(zx::printableText(path + " -> " + out) + "\n");
    });
    return batch.anyFailed() ? exitSomeFailed : exitOk;
}

} // namespace zxresults
