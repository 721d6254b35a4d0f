#include "results/core/rtf_reader.h"
#include "results/core/rtf_writer.h"
#include "tagtext/cp1252.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using zx::Alignment;
using zx::CharFormat;
using zx::Paragraph;
using zx::ReportDocument;
using zx::TextRun;

CharFormat format(const std::string& font, int points, bool bold = false, bool italic = false)
{
    return {font, points, bold, italic};
}

Paragraph paragraph(Alignment alignment, std::vector<TextRun> runs, CharFormat end)
{
    Paragraph p;
    p.alignment = alignment;
    p.runs = std::move(runs);
    p.endFormat = std::move(end);
    return p;
}

ReportDocument normalised(ReportDocument document)
{
    zx::normalise(document);
    return document;
}

void expectRoundTrip(const ReportDocument& document)
{
    const std::string rtf = zx::writeRtf(document);
    for (const char c : rtf)
        ASSERT_TRUE(c > 0 && static_cast<unsigned char>(c) < 0x80) << rtf;
    const zx::RtfReadResult read = zx::readRtfDocument(rtf);
    EXPECT_TRUE(read.isRtf);
    EXPECT_TRUE(read.complete);
    ASSERT_EQ(normalised(read.document), normalised(document)) << rtf;
}

TEST(Rtf, WritesTheFormOfARichEditControl)
{
    ReportDocument report;
    report.paragraphs.push_back(
        paragraph(Alignment::Centre, {{"Test Results", format("Arial", 12, true)}}, format("Arial", 12, true)));
    // An empty line keeps the format of its paragraph mark.
    report.paragraphs.push_back(paragraph(Alignment::Centre, {}, format("Arial", 8)));
    report.paragraphs.push_back(paragraph(Alignment::Left,
                                          {{"Score: ", format("Arial", 10)}, {"75%", format("Courier New", 10, false, true)}},
                                          format("Courier New", 10, false, true)));
    EXPECT_EQ(zx::writeRtf(report),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang2057"
              "{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Courier New;}}\r\n"
              "{\\*\\generator zxexam;}\\viewkind4\\uc1 \r\n"
              "\\pard\\qc\\b\\f0\\fs24 Test Results\\par\r\n"
              "\\b0\\fs16\\par\r\n"
              "\\pard\\fs20 Score: \\i\\f1 75%\\par\r\n"
              "}\r\n");
    expectRoundTrip(report);

    EXPECT_EQ(zx::writeRtf({}), "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang2057"
                                "{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
                                "{\\*\\generator zxexam;}\\viewkind4\\uc1 \r\n}\r\n");
    EXPECT_TRUE(zx::readRtf(zx::writeRtf({})).empty());
}

TEST(Rtf, EscapesTextToSevenBits)
{
    ReportDocument report;
    const std::string text = "C:\\x {y}; <b> caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 \xF0\x9F\x98\x80\tz\x01\x7F!";
    report.paragraphs.push_back(paragraph(Alignment::Left, {{text, format("Arial", 12)}}, format("Arial", 12)));
    const std::string rtf = zx::writeRtf(report);
    EXPECT_NE(rtf.find("\\pard\\f0\\fs24 C:\\\\x \\{y\\}; \\'3cb> caf\\'e9 \\'80 \\u937? \\u-10179?\\u-8704?\\tab z!\\par"),
              std::string::npos)
        << rtf;
    // No "<": the text can never close or open an element of the results
    // file the RTF is stored in.
    EXPECT_EQ(rtf.find('<'), std::string::npos);
    // Control characters other than tab are dropped; the rest comes back.
    EXPECT_EQ(zx::readRtf(rtf).paragraphs.at(0).text(),
              "C:\\x {y}; <b> caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 \xF0\x9F\x98\x80\tz!");
    // Invalid UTF-8 bytes become U+FFFD; font names are escaped like text.
    report.paragraphs[0].runs[0] = {"a\xFF\xC3(", format("Caf\xC3\xA9;{x}", 12)};
    report.paragraphs[0].endFormat = report.paragraphs[0].runs[0].format;
    const std::string second = zx::writeRtf(report);
    EXPECT_NE(second.find("{\\f0\\fnil\\fcharset0 Caf\\'e9\\'3b\\{x\\};}"), std::string::npos) << second;
    EXPECT_NE(second.find(" a\\u-3?\\u-3?(\\par"), std::string::npos) << second;
    report.paragraphs[0].runs[0].text = "ok";
    expectRoundTrip(report);
}

TEST(Rtf, RoundTripsAnyDocument)
{
    // Hand-written corners: empty lines of their own format, a paragraph
    // mark unlike its text, sizes at both ends, odd font names, text that
    // looks like RTF.
    ReportDocument corners;
    corners.paragraphs.push_back(paragraph(Alignment::Right, {}, format("", 1, true, true)));
    corners.paragraphs.push_back(paragraph(Alignment::Justify,
                                           {{" \\par {x} ?? \\u65?", format(" lead", 1638)},
                                            {"", format("unused", 3)},
                                            {"1", format("\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D", 7, false, true)}},
                                           format("a<b", 9, true)));
    corners.paragraphs.push_back(paragraph(Alignment::Left, {{"\t\t x\t", format("Arial", 12)}}, format("Arial", 12)));
    corners.paragraphs.push_back(paragraph(Alignment::Left, {}, format("Arial", 12)));
    expectRoundTrip(corners);

    const std::vector<char32_t> characters{'a', 'Z', '0', '9', ' ', '?', '-', ';', '\\', '{', '}', '<', '\t',
                                           0x80, 0x81, 0x9D, 0xA0, 0xE9, 0xFF, 0x20AC, 0x0160, 0x2122, 0x03A9,
                                           0x4E2D, 0xFFFD, 0xFFFF, 0x1F600, 0x10FFFF};
    const std::vector<std::string> fonts{"Arial", "Times New Roman", "", "x?y", "\xC3\x86rial", " sp "};
    const auto utf8 = [](char32_t c) {
        std::string out;
        zx::appendUtf8(out, c);
        return out;
    };
    std::mt19937 random(20240501);
    const auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    const auto randomFormat = [&] {
        const int sizes[] = {1, 2, 8, 10, 12, 13, 72, 1637, 1638};
        return format(fonts[pick(static_cast<int>(fonts.size()))], pick(3) == 0 ? 1 + pick(1638) : sizes[pick(9)],
                      pick(2) == 1, pick(2) == 1);
    };
    for (int round = 0; round < 400; ++round) {
        ReportDocument document;
        for (int p = pick(8); p > 0; --p) {
            Paragraph next;
            next.alignment = static_cast<Alignment>(pick(4));
            for (int r = pick(5); r > 0; --r) {
                TextRun run{std::string(), randomFormat()};
                for (int c = pick(12); c > 0; --c)
                    run.text += utf8(characters[pick(static_cast<int>(characters.size()))]);
                next.runs.push_back(run);
            }
            next.endFormat = pick(2) == 0 && !next.runs.empty() ? next.runs.back().format : randomFormat();
            document.paragraphs.push_back(next);
        }
        expectRoundTrip(document);
        if (HasFatalFailure())
            return;
    }
}

// As a rich-edit control of a recent Windows saves it, written by hand.
const std::string wordPadSample =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
    "{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\qc\\b\\f0\\fs22\\lang9 Title\\par\r\n"
    "\\pard\\sa200\\sl276\\slmult1\\b0\\i\\f1\\fs21 caf\\'e9 \\cf1 red\\cf0\\i0  \\u8364? x\\tab y\\par\r\n"
    "\\par\r\n"
    "last words}\r\n";

// In the manner of a word processor: style sheet, page and section keys,
// associated fonts, starred destinations, a picture.
const std::string wordSample =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505\\stshfloch31506"
    "\\deflang2057\\deflangfe2057\\themelang2057\r\n"
    "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}\r\n"
    "{\\f1\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Arial{\\*\\falt Helvetica};}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;}\r\n"
    "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\wrapdefault\\rtlch\\fcs1 \\af0\\afs24\\alang1025 \\ltrch\\fcs0 "
    "\\fs24\\lang2057\\langfe2057 \\snext0 \\sqformat \\spriority0 Normal;}{\\s1\\qc Heading 1;}}\r\n"
    "{\\*\\rsidtbl \\rsid1\\rsid2}{\\info{\\title Report}{\\author Someone}{\\creatim\\yr2024\\mo5\\dy1}}\r\n"
    "{\\*\\pgdsctbl {\\pgdsc0\\pgdscuse195\\pgwsxn11906\\pghsxn16838\\pgdscnxt0 Standard;}}\r\n"
    "\\paperw11906\\paperh16838\\margl1134\\margr1134\\gutter0\\ltrsect\\widowctrl\\ftnbj\\dghspace120\r\n"
    "\\sectd \\ltrsect\\linex0\\headery709\\footery709\\sectlinegrid360\\sectdefaultcl\\sftnbj\r\n"
    "{\\header \\pard\\plain Page header\\par}\r\n"
    "\\pard\\plain \\ltrpar\\s1\\qc \\rtlch\\fcs1 \\af1\\afs32 \\ltrch\\fcs0 \\b\\f1\\fs32\\insrsid1 "
    "{\\hich\\af1\\dbch\\af31505\\loch\\f1 Heading}\\par\r\n"
    "\\pard\\plain \\ltrpar\\qj \\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\fs24 {\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid2 "
    "Price: \\u8364\\'80 10, {\\uc0\\u8212 }dash, {\\i italic}, x\\line y{\\*\\bkmkstart b1}{\\*\\bkmkend b1}\\par}\r\n"
    "{\\pict{\\*\\picprop}\\wmetafile8\\picw100\\pich100\\picwgoal60 0100090000032a00\r\n7b7d5c}\r\n"
    "\\pard\\plain\\fs20\\word-12 Tail\\par\r\n"
    "}";

TEST(Rtf, ReadsOtherWriters)
{
    ReportDocument wordPad;
    wordPad.paragraphs = {
        paragraph(Alignment::Centre, {{"Title", format("Calibri", 11, true)}}, format("Calibri", 11, true)),
        paragraph(Alignment::Left,
                  {{"caf\xC3\xA9 red", format("Arial", 11, false, true)}, {" \xE2\x82\xAC x\ty", format("Arial", 11)}},
                  format("Arial", 11)),
        paragraph(Alignment::Left, {}, format("Arial", 11)),
        paragraph(Alignment::Left, {{"last words", format("Arial", 11)}}, format("Arial", 11)),
    };
    const zx::RtfReadResult readWordPad = zx::readRtfDocument(wordPadSample);
    EXPECT_TRUE(readWordPad.isRtf && readWordPad.complete);
    EXPECT_EQ(readWordPad.document, wordPad);

    const CharFormat body = format("Times New Roman", 12);
    ReportDocument word;
    word.paragraphs = {
        paragraph(Alignment::Centre, {{"Heading", format("Arial", 16, true)}}, format("Arial", 16, true)),
        paragraph(Alignment::Justify,
                  {{"Price: \xE2\x82\xAC 10, \xE2\x80\x94" "dash, ", body},
                   {"italic", format("Times New Roman", 12, false, true)},
                   {", x", body}},
                  body),
        paragraph(Alignment::Justify, {{"y", body}}, body),
        paragraph(Alignment::Left, {{"Tail", format("Times New Roman", 10)}}, format("Times New Roman", 10)),
    };
    EXPECT_EQ(zx::readRtf(wordSample), word);

    // Keys and symbols one by one.
    const auto text = [](const std::string& rtf) { return zx::readRtf(rtf).plainText(); };
    EXPECT_EQ(text("{\\rtf1 a\\line b\\tab c\\~d\\_e\\-f\\emdash\\{\\}\\\\}"),
                   "a\nb\tc\xC2\xA0" "d-ef\xE2\x80\x94{}\\\n");
    EXPECT_EQ(text("{\\rtf1\\uc2\\u8364\\'80\\'80x\\uc1\\u8364\\{y\\u937?\\par z\\u-10179?\\u-8704?}"),
              "\xE2\x82\xACx\xE2\x82\xAC" "y\xCE\xA9\nz\xF0\x9F\x98\x80\n");
    EXPECT_EQ(text("{\\rtf1 a\\u-10179?b\\u-8704?\\u0?c\\'0a\\'09\\'81}"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c\t\xC2\x81\n");
    EXPECT_EQ(text("{\\rtf1 a{\\v hidden}\\\r\nb{\\*\\unknown x}{\\pict\\bin4 }{}{}c}"), "a\nbc\n");
    // The font table with entries outside groups, \plain back to \deff,
    // sizes rounded up, an unknown font number giving the default font.
    const ReportDocument fonts = zx::readRtf(
        "{\\rtf1\\deff1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\froman Times;}\\f0\\b\\fs21 x\\plain y\\f9\\fs3 z\\par}");
    ASSERT_EQ(fonts.paragraphs.size(), 1u);
    EXPECT_EQ(fonts.paragraphs[0].runs,
              (std::vector<TextRun>{{"x", format("Helvetica", 11, true)}, {"y", format("Times", 12)}, {"z", format("Times", 2)}}));
    // Group end restores format and alignment.
    const ReportDocument groups = zx::readRtf("{\\rtf1 {\\qr\\b a\\par}b\\par}");
    EXPECT_EQ(groups.paragraphs.at(0), paragraph(Alignment::Right, {{"a", format("Arial", 12, true)}}, format("Arial", 12, true)));
    EXPECT_EQ(groups.paragraphs.at(1), paragraph(Alignment::Left, {{"b", format("Arial", 12)}}, format("Arial", 12)));

    // Not RTF: the lines of Windows-1252 text.
    const zx::RtfReadResult plain = zx::readRtfDocument("Hello\r\nW\xE9rld\n\nend");
    EXPECT_FALSE(plain.isRtf);
    EXPECT_EQ(plain.document.plainText(), "Hello\nW\xC3\xA9rld\n\nend\n");
    EXPECT_EQ(plain.document.paragraphs[0].alignment, Alignment::Left);
    EXPECT_TRUE(zx::readRtf("").empty());
}

TEST(Rtf, SurvivesHostileInput)
{
    // Every prefix of a sample: no crash, RTF from the fifth byte on,
    // complete only when whole.
    for (const std::string* sample : {&wordSample, &wordPadSample}) {
        for (std::size_t length = 0; length < sample->size(); ++length) {
            const zx::RtfReadResult read = zx::readRtfDocument(std::string_view(*sample).substr(0, length));
            EXPECT_EQ(read.isRtf, length >= 5);
            EXPECT_EQ(read.complete, length > sample->rfind('}')) << length;
        }
    }

    const auto text = [](const std::string& rtf) { return zx::readRtf(rtf).plainText(); };
    EXPECT_EQ(text("{\\rtf1 a\\par}}} b\\par}"), "a\n");
    EXPECT_FALSE(zx::readRtfDocument("{\\rtf1 {{{ a\\par").complete);
    EXPECT_EQ(text("{\\rtf1 {{{ a\\par"), " a\n");
    EXPECT_EQ(text(std::string("{\\rtf1 a\0b\\par}", 14)), "ab\n");
    EXPECT_EQ(text("{\\rtf1 a\\bin999999999999 }b}"), "a\n");
    EXPECT_EQ(text("{\\rtf1\\'"), "");
    EXPECT_EQ(text("{\\rtf1 \\u99999999999?x}"), "\xEF\xBF\xBDx\n");

    const ReportDocument huge = zx::readRtf("{\\rtf1\\fs99999999999999999999 a\\fs-5 b\\fs c\\par}");
    EXPECT_EQ(huge.paragraphs.at(0).runs,
              (std::vector<TextRun>{{"ab", format("Arial", 1638)}, {"c", format("Arial", 12)}}));

    // 100 000 nested groups: what lies beyond 1000 levels is skipped, the
    // braces still balance.
    const std::string deep = "{\\rtf1 a\\par" + std::string(100000, '{') + "lost\\par" + std::string(100000, '}') +
                             "{{{{\\b b}}}}\\par}";
    const zx::RtfReadResult read = zx::readRtfDocument(deep);
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(read.document.plainText(), "a\nb\n");
    EXPECT_EQ(text("{\\rtf1" + std::string(999, '{') + "kept" + std::string(999, '}') + "}"), "kept\n");
}

} // namespace
