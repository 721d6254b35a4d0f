// Entry code of the fuzz targets, shared with the regression tests in
// tests/core: each entry hands one input to the readers of one kind of
// outside bytes and checks the rules that must hold whatever the input.
// An entry returns an empty text, or a one-line description of the rule
// the input broke.  Crashes, hangs and undefined behaviour are left to the
// sanitizers of the fuzz build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zx::fuzz {

using Entry = std::string (*)(std::string_view input);

// Tagged text: getTag, getTagInt, deleteTag, setTag, filterPlainText, the
// numbered and sequential element readers, hundredths, code-page texts.
std::string taggedText(std::string_view input);
// Stored files: the unscrambling of every file type, and scrambling back.
std::string storedFile(std::string_view input);
// A bank file: the index section as the player reads it (through a file in
// a private temporary folder), its settings, page lists, embedded files.
std::string bankIndex(std::string_view input);
// The embedded-file list of a bank index and the byte ranges it gives.
std::string embeddedFiles(std::string_view input);
// The targets of a drag item and the drop, cheat and marking rules.
std::string dragTargets(std::string_view input);
// A field record and a typed answer (separated by the first zero byte).
std::string typedAnswer(std::string_view input);
// Decimal numbers, hundredths and integers.
std::string decimal(std::string_view input);
// Colour texts.
std::string colour(std::string_view input);
// A language file's content.
std::string languageFile(std::string_view input);
// The hand-off file, the start-up bank file, the desktop's default
// application lists.
std::string handoff(std::string_view input);
// The RTF reader, and writing what it read and reading that again.
std::string rtf(std::string_view input);
// A results file's content: its elements, both reports, the settings.
std::string resultsFile(std::string_view input);
// The scoring pass and both reports over a question list (settings before
// the first zero byte, or the whole input as both settings and list).
std::string scoring(std::string_view input);
// The item analysis of a results file's content taken as several
// candidates' files, written as a table and as a page.
std::string itemAnalysis(std::string_view input);
// The readers of a page record: buttons, feedback, text objects, fields.
std::string pageRecord(std::string_view input);
// A results file read as the teacher's tools read it (as it is and stored
// scrambled), and the results files of a folder whose names come from the
// input's lines.
std::string resultsRead(std::string_view input);
// A results file's row of the class list, its cells and the written table.
std::string resultsTableRow(std::string_view input);
// Checking a results file's reports against its answers, and the totals
// read from report lines (the input's lines under settings in the input).
std::string verify(std::string_view input);
// The crash journal: a base file's content and a log (separated by the
// first zero byte), read in memory and through the files of a Journal.
std::string journal(std::string_view input);

// Question sources for `zxbank import`: a GIFT text, a Moodle XML file, a
// QTI item or content package, read and laid out as pages.
std::string importGift(std::string_view input);
std::string importMoodle(std::string_view input);
std::string importQti(std::string_view input);

// The entry of a fuzz target by its name ("rtf", "bank_index"), or nullptr.
Entry entryNamed(std::string_view target);

// For LLVMFuzzerTestOneInput: runs the entry and aborts with the broken
// rule on standard error, so the fuzzer keeps the input.
int runEntry(Entry entry, const std::uint8_t* data, std::size_t size);

} // namespace zx::fuzz
