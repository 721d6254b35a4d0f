// Program entry: one player per user.  A second start hands its command
// line to the running player and ends without a window.
#include "app/core/command_verbs.h"
#include "app/controller_windows.h"
#include "app/core/program_version.h"
#include "app/instance_channel.h"
#include "app/shell_paths.h"
#include "app/startup_sequence.h"
#include "results/report_pdf.h"
#include "testrun/page_renderer.h"
#include "window/messages.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* usageText =
    "usage: zxexam                              start the player\n"
    "       zxexam [--extra-time PERCENT] openShellCall FILE\n"
    "                                           open a bank (.zxb) or results file (.zxr);\n"
    "                                           a timed test gets PERCENT more time\n"
    "       zxexam printShellCall RESULTS.zxr   print a results file's reports\n"
    "       zxexam --print-pdf OUT.pdf RESULTS.zxr\n"
    "                                           write a results file's reports as a PDF\n"
    "       zxexam --render-pages OUT_DIR BANK.zxb\n"
    "                                           draw every page of a bank as a picture\n"
    "       zxexam --version | --help\n"
    "A later start hands its verb and file to the running player.\n";

QString programFolder()
{
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    const QString target = self.canonicalFilePath();
    return target.isEmpty() ? QString() : QFileInfo(target).absolutePath();
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> given(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (given.size() == 1 && given[0] == "--version") {
        std::fputs(zx::versionBanner("zxexam").c_str(), stdout);
        return 0;
    }
    if (given.size() == 1 && (given[0] == "--help" || given[0] == "-h")) {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (!given.empty() && given[0] == "--render-pages")
        return zx::runRenderPagesMode(argc, argv);
    if (!given.empty() && given[0] == "--print-pdf")
        return zx::runPrintPdfMode(argc, argv);
    const zx::StartOptions start = zx::takeStartOptions(given);
    if (!start.error.empty()) {
        std::fprintf(stderr, "zxexam: %s\nusage: zxexam [--extra-time PERCENT] openShellCall BANK.zxb\n",
                     start.error.c_str());
        return 2;
    }
    const std::vector<std::string>& args = start.args;
    QString folder = programFolder();

    zx::ShellPaths paths = zx::ShellPaths::fromEnvironment(folder);
    zx::InstanceChannel channel(paths.runtimeFolder);
    if (!channel.tryBecomeFirst()) {
        QCoreApplication app(argc, argv);
        // The running player has a current folder of its own.
        std::error_code noFolder;
        const std::string here = std::filesystem::current_path(noFolder).native();
        channel.notifyFirst(zx::handoffArguments(args, here), 5000, start.extraTimePercent);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Exam"));
    if (folder.isEmpty()) {
        folder = QCoreApplication::applicationDirPath();
        paths.programFolder = folder;
    }
    channel.listen();
    try {
        zx::ShellOptions options;
        options.paths = paths;
        zx::TMainForm form(std::move(options));
        zx::TestRun testRun(zx::testRunWindow(form));
        zx::attachTestRun(form, testRun);
        zx::ResultsRun results(zx::resultsRunWindow(form), testRun);
        zx::StartupActions startup(zx::startupWindow(form), testRun, results);
        startup.setExtraTime(start.extraTimePercent);
        // Scripted runs (a kiosk, a test) may print to a PDF file instead
        // of asking for a printer.
        const QString pdf = qEnvironmentVariable("ZXEXAM_PRINT_PDF");
        if (!pdf.isEmpty()) {
            form.messages().prompts().choosePrinter = [pdf](QPrinter& printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                return true;
            };
        }
        form.startup().attachInstanceChannel(&channel);
        form.startup().setCommandLine(args);
        form.show();
        return app.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Exam"), QString::fromLocal8Bit(error.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("Exam"), QStringLiteral("Unexpected error."));
    }
    return 0;
}
