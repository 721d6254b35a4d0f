// Rich text (RTF) of a report, as the reports are stored in results files
// and handed to the rich-text views: the form a Windows rich-edit control
// saves, so that older readers and word processors open it unchanged.
//
// The output is 7-bit ASCII:
//
//   {\rtf1\ansi\ansicpg1252\deff0\nouicompat\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}\r\n
//   {\*\generator zxexam;}\viewkind4\uc1 \r\n
//   \pard\qc\b\f0\fs24 Test Results\par\r\n
//   \pard\b0\fs20 Name: Ann\par\r\n
//   }\r\n
//
// One font-table entry per distinct font name, in order of first use (the
// first is \f0, the default font).  Each paragraph ends with \par and a
// line break; \pard and the alignment are written for the first paragraph
// and whenever the alignment changes; character formats (\b, \i, \fN, \fsN)
// only when they change, and also before \par when the paragraph mark has
// another format than the last text, so an empty line keeps its format.
//
// Text: Windows-1252 bytes above 0x7F as \'hh, other characters as \uN?
// (two of them for a character beyond U+FFFF), "\", "{" and "}" escaped
// with a backslash, "<" as \'3c so that the text can never form a tag of
// the tagged text the results file embeds it in, a tab as \tab; other
// control characters are dropped and an invalid UTF-8 byte becomes U+FFFD.
// Point sizes are kept within 1 to 1638 (\fs2 to \fs3276).
#pragma once

#include "results/core/report_document.h"

#include <string>

namespace zx {

std::string writeRtf(const ReportDocument& document);

} // namespace zx
