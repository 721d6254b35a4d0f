// `zxbank import`: reads question sources (GIFT, Moodle XML, QTI), lays out
// one page per question and writes a bank, or a source folder for
// `zxbank pack`.  Measuring text and preparing pictures come in from
// outside (the Qt ones in qt_import_media.h), so this part stays Qt-free.
#pragma once

#include "tools/bankimport/page_builder.h"
#include "tools/bankimport/question_model.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zx::import {

enum class SourceFormat { Detect, Gift, Moodle, Qti };

struct ImportOptions {
    std::vector<std::string> sources;
    std::string output;
    SourceFormat format = SourceFormat::Detect;
    PageGeometry geometry;
    std::string title;
    bool exam = false;
    int random = 0;         // NumberOfQuestions with PresentInRandomOrder; 0 = all in order
    bool details = false;   // shouldUserEnterDetails
    bool folder = false;    // write a source folder instead of a bank
    int timeLimitMinutes = 0; // 0 = no time limit written
};

// A picture ready to embed: bytes the player can show (BMP, GIF or JPEG)
// and its natural size.
struct PreparedPicture {
    std::string bytes;
    std::string extension; // ".bmp", ".gif", ".jpg"
    int width = 0;
    int height = 0;
};

class ImportMedia {
public:
    virtual ~ImportMedia() = default;
    // Nothing, with `why`, when the bytes are no picture that can be shown.
    virtual std::optional<PreparedPicture> preparePicture(const std::string& bytes, std::string& why) = 0;
    // The drawn pictures (drawn:: names) with their bytes.
    virtual std::vector<std::pair<std::string, std::string>> drawnPictures() = 0;
};

// Reads one source; the format comes from the content unless forced.
SourceDocument readSource(const std::string& bytes, SourceFormat format);
SourceFormat detectFormat(const std::string& bytes);
const char* formatName(SourceFormat format);

// The largest source file read (bigger ones are refused).
inline constexpr std::uint64_t largestSource = 256ull << 20;

// Runs the whole import; the report goes to `out`, errors to `err`.
// Returns the exit status: 0 a bank (or folder) was written, 1 none.
int runImport(const ImportOptions& options, const TextMeasurer& measurer, ImportMedia& media, std::ostream& out,
              std::ostream& err);

// The bank settings for the options (testList elements).
std::string importSettings(const ImportOptions& options, const std::vector<std::string>& categories);

} // namespace zx::import
