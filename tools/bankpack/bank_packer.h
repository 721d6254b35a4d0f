// Building a bank from a source folder of plain files, and the reverse.
//
// Source folder layout:
//   settings.txt        the bank settings (the testList elements), tagged text
//   pages/pre-NN.txt    pre-test pages, in the numeric order of NN
//   pages/qNN.txt       question pages, in the numeric order of NN
//   media/              the embedded files, stored under their file names
//   files.txt           optional: the embedded files in bank order, one a
//                       line: "name" or "name<TAB>file in media/"
// Without files.txt every file of media/ is embedded under its own name, in
// byte order of the names.  All texts are Windows-1252 bytes, kept exactly.
#pragma once

#include "tagtext/stored_file.h"
#include "testrun/core/bank_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

struct MediaSource {
    std::string authorName; // the name pages use
    std::string path;       // the file to embed
    std::uint64_t size = 0;
};

struct PageSource {
    std::string name; // where the page came from, for messages
    std::string text; // the page record
};

struct BankSources {
    std::string settings;
    std::vector<PageSource> preTestPages;
    std::vector<PageSource> questionPages;
    std::vector<MediaSource> media;
};

struct PackOptions {
    // Refuse sources the player would refuse: no embedded file, no
    // question page, a format version of 2 or more.
    bool requirePlayable = true;
    // Random source of the scrambling; empty = seeded from the clock.
    RandomSource random;
};

struct PackResult {
    bool ok = false;
    std::string error; // "<file>: <reason>" when not ok
    std::int64_t indexLength = 0;
    std::uint64_t bankSize = 0;
};

// Reads a source folder (layout, page names, files.txt).  False with a
// one-line reason in `error`.  The contents are checked by writeBank.
bool readBankSources(const std::string& sourceDir, BankSources& sources, std::string& error);

// Checks texts, names, sizes and counts before a bank is written.
bool checkBankSources(const BankSources& sources, const PackOptions& options, std::string& error);

// "<questionFile0>page</questionFile0>" ... for the pages of a list.
std::string buildPageList(const std::vector<PageSource>& pages);
// "<name>start,end</name>" for each file; ranges laid end to end from 0.
std::string buildEmbeddedFileList(const std::vector<MediaSource>& media);
// The index content: the 20-character N field and the four elements,
// padded with spaces so that N is at least 500.  N = 317 + content length.
std::string buildIndexContent(std::string_view fileHeader, std::string_view testList,
                              std::string_view questionFileList, std::string_view preTestFileList);

// Writes the bank: index section, then the media bytes copied in chunks.
// Through a temporary file renamed over the target: a failed pack leaves
// an earlier bank untouched.
PackResult writeBank(const BankSources& sources, const std::string& bankPath, const PackOptions& options = {});
// Why a name cannot be an embedded file's name, or "" when it can.
std::string mediaNameProblem(std::string_view name);

// readBankSources + writeBank.
PackResult packBank(const std::string& sourceDir, const std::string& bankPath, const PackOptions& options = {});

struct UnpackResult {
    bool ok = false;
    std::string error;                 // the failure, when not ok
    std::vector<std::string> warnings; // embedded files that could not be unpacked
};

// Writes the sources of a bank into `targetDir`, which must not exist or be
// empty.  Packing them again gives a bank with the same content.
UnpackResult unpackBank(const std::string& bankPath, const std::string& targetDir);

// A readable summary of a bank for "zxbank info"; false with `error` when
// the file is no readable bank.
bool describeBank(const std::string& bankPath, std::string& text, std::string& error);

} // namespace zx
