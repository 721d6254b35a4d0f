#include "tools/bankimport/import_command.h"

#include "tagtext/tagged_text.h"
#include "tools/bankimport/qt_import_media.h"

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>

namespace zx::import {

namespace {

bool positiveNumber(const std::string& text, int& value)
{
    long long v = 0;
    if (!parseIntStrict(text, v) || v < 1 || v > 100000)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

bool parseImportArguments(const std::vector<std::string>& args, ImportOptions& options, std::string& error)
{
    std::vector<std::string> positional;
    std::string folder;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--exam")
            options.exam = true;
        else if (a == "--details")
            options.details = true;
        else if (a == "--format" && hasValue) {
            const std::string f = args[++i];
            if (f == "gift")
                options.format = SourceFormat::Gift;
            else if (f == "moodle")
                options.format = SourceFormat::Moodle;
            else if (f == "qti")
                options.format = SourceFormat::Qti;
            else {
                error = "unknown format: " + f;
                return false;
            }
        } else if (a == "--page" && hasValue) {
            const auto geometry = pageGeometryFor(args[++i]);
            if (!geometry) {
                error = "page size must be 640x480, 800x600 or 1024x768";
                return false;
            }
            options.geometry = *geometry;
        } else if (a == "--title" && hasValue)
            options.title = args[++i];
        else if (a == "--random" && hasValue) {
            if (!positiveNumber(args[++i], options.random)) {
                error = "--random needs a number of questions";
                return false;
            }
        } else if (a == "--time-limit" && hasValue) {
            if (!positiveNumber(args[++i], options.timeLimitMinutes)) {
                error = "--time-limit needs a number of minutes";
                return false;
            }
        } else if (a == "--folder" && hasValue)
            folder = args[++i];
        else if (a.rfind("--", 0) == 0 && a.size() > 2) {
            error = "unknown option: " + a;
            return false;
        } else
            positional.push_back(a);
    }
    if (!folder.empty()) {
        options.folder = true;
        options.output = folder;
        options.sources = positional;
    } else if (positional.size() >= 2) {
        options.output = positional.back();
        positional.pop_back();
        options.sources = positional;
    }
    if (options.sources.empty() || options.output.empty()) {
        error = "give the sources and the bank to write";
        return false;
    }
    return true;
}

int runImportCommand(const std::vector<std::string>& args, int argc, char** argv)
{
    ImportOptions options;
    std::string error;
    if (!parseImportArguments(args, options, error)) {
        std::cerr << "zxbank: " << error << '\n';
        return 2;
    }
    // Fonts are measured without a screen.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt's own notices (no runtime folder, ...) are no business of the report.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << "zxbank: " << message.toStdString() << '\n';
    });
    QGuiApplication app(argc, argv);
    QtTextMeasurer measurer;
    QtImportMedia media;
    return runImport(options, measurer, media, std::cout, std::cerr);
}

} // namespace zx::import
