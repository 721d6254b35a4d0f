// Program entry: one player per user.  A second start hands its command
// line to the running player and ends without a window.
#include "app/core/command_verbs.h"
#include "app/controller_windows.h"
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
#include <string>
#include <vector>

namespace {

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
        channel.notifyFirst(args, 5000, start.extraTimePercent);
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
