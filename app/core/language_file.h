// Language files: the interface texts of the program.  After unscrambling
// a ".zxc" file is plain Windows-1252 text, one entry per line (CR LF, CR
// or LF):
//   - lines of 5 characters or fewer are ignored;
//   - the first four characters are read as a decimal integer n (sign and
//     digits only, as getTagInt reads values; anything else gives -1);
//     lines with n >= 200 are ignored;
//   - in every other line each "#r#n" becomes a line break (CR LF);
//   - 9 <= n <= 199: message line; the first five characters (number and
//     one separator) are dropped and the rest is message n (a later line
//     with the same number replaces the earlier text);
//   - n < 9: form-text line "Control Property value with spaces".
// A property containing "Hint" also fills the hint table: the property
// without its first four characters is read as an integer (empty or no
// number gives 0) and entries 0 to 14 take the value ("Hint3" sets entry 3,
// "Hint" entry 0).  Applying form-text lines to windows is done by the Qt
// front end (app/language_applier.h); everything here is plain C++.
//
// Messages 0..119 are the classic table every language file fills.
// Messages 120..199 are this player's own additions: language files of
// other origins never hold them, so each one falls back to the built-in
// English text (the line of "lang/English (UK).txt", built into the
// program) when the files read so far do not define it.
#pragma once

#include "tagtext/tagged_text.h" // withLfBreaks

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

inline constexpr int languageMessageCount = 200;   // message table entries 0..199
inline constexpr int languageFirstOwnMessage = 120; // entries 120..199 fall back to built-in English
inline constexpr int languageFirstMessage = 9;     // entries 0..8 are never filled from a file
inline constexpr int languageHintCount = 15;       // hint table entries 0..14

// One form-text line, split at its first two spaces.  The value is taken
// unchanged apart from "#r#n" -> CR LF and may contain spaces.
struct FormTextLine {
    std::string control;   // text before the first space: a control or window name
    std::string property;  // text between the first and the second space
    std::string value;     // everything after the second space

    bool isFormCaption() const { return property == "FormCaption"; }
    // Properties containing "Hint" act as "Hint" on the control.
    bool isHint() const { return property.find("Hint") != std::string::npos; }

    friend bool operator==(const FormTextLine&, const FormTextLine&) = default;
};

// The texts one or more language files define.
struct LanguageTexts {
    std::array<std::string, languageMessageCount> messages{};  // message n = entry n (Windows-1252, CR LF breaks)
    std::array<std::string, languageHintCount> hints{};        // hint table
    // The form-text lines of the LAST file parsed, in file order.  Earlier
    // files' lines have already been applied to the windows, which keep
    // what a later file does not mention.
    std::vector<FormTextLine> formTexts;

    // Message n; for n >= 120 not defined by the files, the built-in
    // English text; an empty text for a number outside 0..199.
    const std::string& message(int n) const;
    // Message for a key such as "x16"; empty for any other key.
    const std::string& messageForKey(std::string_view key) const;
};

// Parses one language file's content over `previous`: messages and hints
// the file defines replace earlier ones, everything else is kept; the
// result's formTexts are this file's lines.  Never throws on any input;
// runs in time linear in the content's length.
LanguageTexts parseLanguageFile(std::string_view content, const LanguageTexts& previous = {});

// The classification of one raw line (without its line end), exposed for
// tests and tools.  A form-text line needs both separating spaces; a line
// without them is ignored (it names no property to set).
struct LanguageLine {
    enum class Kind { Ignored, Message, FormText };
    Kind kind = Kind::Ignored;
    int number = -1;          // the message number for Kind::Message
    std::string text;         // the message text for Kind::Message
    FormTextLine formText;    // for Kind::FormText
};
LanguageLine parseLanguageLine(std::string_view line);

// The hint table entry a form-text line's property selects: the property
// without its first four characters as an integer, 0 when that is empty or
// not a number; -1 when the property holds no "Hint" or the entry is
// outside 0..14.
int hintEntryForProperty(std::string_view property);

// Combo-box items of an "Items" value: while the rest is longer than 2
// characters, e = position of the first "#" (or the rest's length), the
// first e - 1 characters are one item and the first e are dropped.  So
// "Red#Green#Blue#" gives three items; a last item without "#" loses its
// last character and a last piece of 2 characters or fewer is dropped.
std::vector<std::string> splitComboItems(std::string_view value);

// A dialog filter "Name|*.a;*.b|Other| *.c" as name filters for a file
// dialog: {"Name (*.a *.b)", "Other (*.c)"}.  Patterns are trimmed; a last
// name without patterns is dropped.
std::vector<std::string> dialogNameFilters(std::string_view filter);

// Hints may hold "short|long": the tool tip shows the short part, the hint
// handler compares the long part (the whole hint when there is no "|").
std::string_view hintShortPart(std::string_view hint);
std::string_view hintLongPart(std::string_view hint);

// The sound key of a hint: "Hint" + i for the first i in 1..14 whose hint
// table entry equals the hint's long part exactly; empty when the long part
// is shorter than 2 characters or matches none (entry 0 is never compared).
std::string hintMessageKey(const std::array<std::string, languageHintCount>& hints,
                           std::string_view hint);

// Message number of a key "x" + decimal digits (at most 3), or -1.
int messageNumberFromKey(std::string_view key);

// The built-in English text of message n (120..199); empty for any other
// number or a message the English file does not define.
const std::string& builtInEnglishMessage(int n);

} // namespace zx
