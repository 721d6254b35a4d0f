// zxlangtext: writes the texts that the sound folder speaks, one UTF-8 file
// per sound, from a plain (Windows-1252) language source:
//   x<n>.txt     message n (every message the file defines)
//   Hint<n>.txt  hint table entry n
//   xh<i>.txt    help page i (0 introduction, 1 auto-play, 2 cheat, 3 mark, 4 finish)
// A file is rewritten only when its text changed, and texts that the
// source no longer defines are removed, so a sound generator run after it
// only has to redo what is newer than its sound.
#include "app/core/language_file.h"
#include "tagtext/cp1252.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message)
{
    std::cerr << "zxlangtext: " << message << '\n';
    return 1;
}

// One line of speech: line breaks become spaces.
std::string speakable(const std::string& cp1252)
{
    std::string text = zx::withLfBreaks(cp1252);
    for (char& c : text) {
        if (c == '\n' || c == '\t')
            c = ' ';
    }
    return zx::cp1252ToUtf8(zx::trimText(text));
}

bool writeIfChanged(const fs::path& path, const std::string& content)
{
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::ostringstream old;
            old << in.rdbuf();
            if (old.str() == content)
                return true;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: zxlangtext LANGUAGE.txt OUTDIR\n";
        return 2;
    }
    const std::string source = argv[1];
    const fs::path outDir = argv[2];
    if (!fs::is_regular_file(source))
        return fail(source + ": no such file");
    const zx::LanguageTexts texts = zx::parseLanguageFile(zx::readStoredFile(source));

    std::map<std::string, std::string> sounds;
    for (int n = zx::languageFirstMessage; n < zx::languageMessageCount; ++n) {
        const std::string text = speakable(texts.message(n));
        if (!text.empty())
            sounds["x" + std::to_string(n)] = text;
    }
    for (int n = 0; n < zx::languageHintCount; ++n) {
        const std::string text = speakable(texts.hints[static_cast<std::size_t>(n)]);
        if (!text.empty())
            sounds["Hint" + std::to_string(n)] = text;
    }
    // The help window's pages and the labels that hold their texts.
    const std::array<std::vector<std::string>, 5> helpPages{{
        {"HowToTakeATestHeading", "HelpIntro"},
        {"HelpAutoPlay"},
        {"HelpCheat"},
        {"HelpMark"},
        {"HelpFinish"},
    }};
    for (std::size_t page = 0; page < helpPages.size(); ++page) {
        std::string text;
        for (const std::string& label : helpPages[page]) {
            std::string caption;
            for (const zx::FormTextLine& line : texts.formTexts) {
                if (line.control == label && !line.isHint() && !line.isFormCaption())
                    caption = line.value;
            }
            const std::string part = speakable(caption);
            if (!part.empty())
                text += (text.empty() ? "" : ". ") + part;
        }
        if (!text.empty())
            sounds["xh" + std::to_string(page)] = text;
    }

    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (!fs::is_directory(outDir))
        return fail(outDir.string() + ": cannot create the folder");
    std::set<std::string> wanted;
    for (const auto& [key, text] : sounds) {
        wanted.insert(key + ".txt");
        if (!writeIfChanged(outDir / (key + ".txt"), text + '\n'))
            return fail((outDir / (key + ".txt")).string() + ": cannot write");
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(outDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".txt" && !wanted.count(name))
            fs::remove(entry.path(), ec);
    }
    return 0;
}
