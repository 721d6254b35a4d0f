// Reading rich text (RTF) into a report document: our own reports and the
// RTF of other writers (rich-edit controls, word processors).  Only what a
// report shows is kept: text, paragraphs, alignment, bold, italic, size and
// font name; everything else is skipped.
//
// The reader never fails: it works in one pass over the bytes, in time and
// memory linear in the input, without recursion and without any state
// outside the call (it can be driven by a fuzzer as it is).  Whatever the
// input, it returns what it could read.
//
// Choices where RTF leaves room:
// - \par, \line, \row and a backslash before a line break end a paragraph
//   (the document has no line breaks inside a paragraph); \sect and \page
//   are ignored.  Text after the last paragraph mark becomes a last
//   paragraph when it is not empty.
// - \tab, \cell and a tab byte give a tab; \~ a no-break space, \_ a
//   hyphen; \- and other control symbols are dropped; \emdash, \endash,
//   \bullet, \lquote, \rquote, \ldblquote, \rdblquote and the space words
//   give their characters.  Other control characters are dropped.
// - Bytes (raw or \'hh) are Windows-1252 whatever \ansicpg or \fcharset
//   says.  \uN takes N as signed 16-bit (negative N + 65536; a larger N up
//   to 0x10FFFF as the code point itself), joins surrogate pairs, gives
//   U+FFFD for a lone surrogate, and skips the \ucN fallback characters
//   that follow (a byte, an \'hh, a control symbol or a control word each
//   count as one; a brace ends the skipping).
// - \fsN: half-points rounded up to whole points (\fs21 is 11 pt), kept
//   within 1 to 1638; \fs without a number is 12 pt, \fs0 or less is
//   ignored.  \fN names a font of the font table; a font missing from it
//   gives the default font (\deffN), and without that "Arial".  \plain
//   resets to the default font, 12 pt, not bold, not italic, not hidden.
// - Hidden text (\v) is not read.  Numbers of control words saturate, so
//   a huge number is simply the largest one.
// - Groups are nested at most 1000 deep; the content of deeper groups is
//   skipped (the braces still count).  Font names are cut after 127 bytes.
//   Reading stops after a million paragraphs and runs together (a detailed
//   report of 500 questions has about 60 000), which bounds the memory
//   hostile input can take (each costs about a hundred bytes).  A "}" that closes the outermost
//   group ends the document; what follows it is ignored.
// - A zero byte is skipped like a line break.
// - Input that does not begin with "{\rtf" (after white space) is taken as
//   plain Windows-1252 text, one paragraph a line (CR, LF or CR LF), left
//   aligned in the default format, as a rich-edit control loads it.
#pragma once

#include "results/core/report_document.h"

#include <string_view>

namespace zx {

struct RtfReadResult {
    ReportDocument document;
    bool isRtf = false;    // the input began with "{\rtf"; otherwise it was read as plain text
    bool complete = false; // RTF read to the close of its outermost group (false: truncated or too large)
};

RtfReadResult readRtfDocument(std::string_view input);

// readRtfDocument(rtf).document.
ReportDocument readRtf(std::string_view rtf);

} // namespace zx
