// The helpers the fuzz entries share: splitting an input, a fixed random
// source, a private folder for files, the marks and report checks.
#pragma once

#include "app/core/command_verbs.h"
#include "app/core/handoff_file.h"
#include "testrun/core/test_timer.h"
#include "app/core/language_file.h"
#include "app/core/recent_files.h"
#include "objects/core/answer_marks.h"
#include "objects/core/choice_rules.h"
#include "objects/core/drag_targets.h"
#include "objects/core/drop_rules.h"
#include "objects/core/feedback_rules.h"
#include "objects/core/text_display.h"
#include "objects/core/typed_answer.h"
#include "results/core/element_sequence.h"
#include "results/core/finish_test.h"
#include "results/core/results_display.h"
#include "results/core/results_file.h"
#include "results/core/rtf_reader.h"
#include "results/core/rtf_writer.h"
#include "results/core/scoring.h"
#include "tagtext/colour.h"
#include "tagtext/cp1252.h"
#include "tagtext/decimal.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "testrun/core/bank_settings.h"
#include "testrun/core/journal.h"
#include "testrun/core/test_assembly.h"
#include "tools/bankimport/gift_reader.h"
#include "tools/bankimport/moodle_reader.h"
#include "tools/bankimport/page_builder.h"
#include "tools/bankimport/qti_reader.h"
#include "tools/bankpack/bank_packer.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace zx::fuzz::support {

// Keys tried on texts that do not name their own (first byte of the input).
inline constexpr std::array<std::string_view, 12> knownKeys = {
    "zxButton", "zxField", "zxDrag", "userAnswer", "questionFile0", "targets",
    "testSettings", "p1", "cat", "questionFile", "", "a",
};

// Splits at the first zero byte; without one both parts are the input.
inline std::pair<std::string_view, std::string_view> splitAtZero(std::string_view input)
{
    const std::size_t zero = input.find('\0');
    if (zero == std::string_view::npos)
        return {input, input};
    return {input.substr(0, zero), input.substr(zero + 1)};
}

// A fixed random source, so that a saved input replays exactly.
inline RandomSource fixedRandom(std::uint32_t seed)
{
    return [state = seed | 1u]() mutable {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
}

inline std::string marksProblem(const ObjectMarks& marks, std::string_view what)
{
    if (marks.worst <= marks.score && marks.score <= marks.best)
        return {};
    return std::string(what) + ": score " + std::to_string(marks.score) + " outside worst "
           + std::to_string(marks.worst) + " .. best " + std::to_string(marks.best);
}

// The folder of this process's temporary files: made once, mode 0700, in
// TMPDIR, else in memory (/dev/shm) when there is one, else in /tmp;
// removed when the process ends normally.
class PrivateFolder {
public:
    PrivateFolder()
    {
        const char* tmpdir = std::getenv("TMPDIR");
        for (const std::string& base : {std::string(tmpdir ? tmpdir : ""), std::string("/dev/shm"), std::string("/tmp")}) {
            if (base.empty())
                continue;
            std::string pattern = base + "/zxfuzz-XXXXXX";
            if (mkdtemp(pattern.data())) {
                m_path = pattern;
                return;
            }
        }
    }
    ~PrivateFolder()
    {
        std::error_code error;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, error);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

inline const std::string& privateFolder()
{
    static const PrivateFolder folder;
    return folder.path();
}

inline bool writeBytes(const std::string& path, std::string_view bytes)
{
    // A new file each time: truncating one makes some file systems write
    // it out to the disk on closing.
    std::remove(path.c_str());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

inline std::optional<std::string> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Checks that every object scored stays within its own best and worst.
class MarksChecker final : public ScoringObserver {
public:
    std::string problem;

    void objectScored(int index, AnswerKind, std::string_view, const ObjectMarks& marks) override
    {
        if (problem.empty())
            problem = marksProblem(marks, "question " + std::to_string(index));
    }
};

inline const ReportLabels& fixedLabels()
{
    static const ReportLabels labels{[](int n) { return "x" + std::to_string(n); }};
    return labels;
}

inline ReportDocument normalised(ReportDocument document)
{
    normalise(document);
    return document;
}

// What the RTF of a report keeps of it: control characters other than a
// tab (codes below 32, and 127) are left out of the stored text.
inline ReportDocument storedForm(ReportDocument document)
{
    const auto isControl = [](char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F; };
    for (Paragraph& paragraph : document.paragraphs) {
        for (TextRun& run : paragraph.runs)
            std::erase_if(run.text, isControl);
    }
    return normalised(std::move(document));
}

} // namespace zx::fuzz::support
