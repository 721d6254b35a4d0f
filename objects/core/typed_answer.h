// Typed answers of a field (<zxField> record): which keys a field takes,
// how the typed text is normalised and whether it is a correct answer.
//
// A field's kind comes from its record's `editRestriction`: 1 decimal
// number, 2 whole number, any other value free text.  The functions here
// take the record text (Windows-1252 tagged text) and the candidate's text
// exactly as typed or stored, and return plain values; the live zxField
// and the end-of-test scoring both decide through them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zx {

// The value an authoring tool stores in an accepted-answer slot that holds
// no answer.
inline constexpr std::string_view noTextMarker = "-empty45646-";

enum class FieldKind { Text, Decimal, Whole };

// 1 -> Decimal, 2 -> Whole, anything else -> Text.
FieldKind fieldKindFromRestriction(int editRestriction);
// getTagInt(record, "editRestriction", 0).
int fieldRestriction(std::string_view record);

// The characters a field of this restriction accepts (single Windows-1252
// bytes, case-sensitive): "-0123456789." for 1, "-0123456789" for 2 and the
// 89 characters of the free-text set otherwise.  The free-text set holds no
// angle brackets, so a typed answer can never break its record.
std::string_view allowedCharacters(int editRestriction);
bool isAllowedCharacter(int editRestriction, unsigned char c);

// What a typed character does to the field.
//   Ignored  - not in the allowed set: nothing happens at all.
//   Refused  - allowed, but not here: the text stays, the tick or cross
//              beside the field is removed all the same.
//   Accepted - inserted by the box's own editing; the tick or cross goes.
enum class KeyVerdict { Ignored, Refused, Accepted };

// The key filter.  `text` is the box's current text, `caret` the selection
// start (QLineEdit: selectionStart(), or cursorPosition() when nothing is
// selected).  A decimal field takes a "." only while the text holds none; in
// every field whose restriction is not 0 a "-" is taken only at caret 0 and
// only while the text holds no "-".  Backspace is not a typed character:
// the box always lets it through.
KeyVerdict filterTypedCharacter(int editRestriction, unsigned char c, std::string_view text, int caret);

// Trims (codes 0 to 32 at both ends) and folds every run of spaces into
// one space.  An empty result means "not answered".
std::string normaliseAnswer(std::string_view typed);

// Whether an accepted-answer value is the authoring "no answer" marker.
bool isNoTextMarker(std::string_view value);

// A typed whole number as getTagInt reads values (optional sign, digits
// only, 32-bit range); nothing when it is no whole number.
std::optional<int> parseWholeNumber(std::string_view text);

// Correctness of an already normalised, non-empty answer against the
// record's `FieldAnswer1`..`FieldAnswer20` (or the range `FieldAnswer1` to
// `FieldAnswer2`, either order, ends included, when the kind is numeric and
// `useRange` is 1).  Decimal answers compare as parseDecimal values, whole
// numbers numerically, text after the Windows-1252 lower case with each
// accepted answer trimmed (inner spaces of an accepted answer are kept).
// Accepted answers that are empty, unreadable or the "no answer" marker are
// skipped; a range with a missing or unreadable end accepts nothing; an
// answer that is no number is never correct in a numeric field.
bool isTypedAnswerCorrect(std::string_view record, std::string_view normalisedAnswer);

// The answer as the results report shows it: normalised; lower-cased for a
// text field; a whole number rewritten in canonical form ("+007" -> "7").
// A numeric answer that reads as no number is shown as normalised.
std::string reportedAnswer(std::string_view record, std::string_view typed);

// The text shown in the box while Cheat is held.  A decimal or whole-number
// field with `useRange` 1 shows `FieldAnswer1` + " to " + `FieldAnswer2`, an
// end holding the "no answer" marker shown as "(nothing)".  Otherwise the first
// `FieldAnswer`k that is not the marker; a missing key stops the search and
// shows an empty text, as do twenty markers.
std::string expectedAnswerText(std::string_view record);

} // namespace zx
