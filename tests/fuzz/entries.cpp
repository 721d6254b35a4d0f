#include "tests/fuzz/entries.h"
#include "tests/fuzz/entry_support.h"

#include "app/core/program_version.h"

namespace zx::fuzz {

using namespace support;

// ------------------------------------------------------------ tagged text

std::string taggedText(std::string_view input)
{
    std::string_view key;
    std::string_view text = input;
    const std::size_t zero = input.find('\0');
    if (zero != std::string_view::npos && zero <= 64) {
        key = input.substr(0, zero);
        text = input.substr(zero + 1);
    } else if (!input.empty()) {
        key = knownKeys[static_cast<unsigned char>(input[0]) % knownKeys.size()];
    }
    const std::string_view value = text.substr(text.size() - std::min<std::size_t>(text.size(), 32));

    (void)trimText(text);
    (void)getTagInt(text, key, -7);
    (void)withLfBreaks(text);
    (void)lowerCp1252(text);

    const std::string element = getTag(text, key);
    const std::string deleted = deleteTag(text, key);
    if (deleted.size() > text.size())
        return "deleteTag made the text longer";

    // setTag puts the element in front: it is read back unless the value
    // itself (or the open mark with it) holds the close mark.
    const std::string written = setTag(text, key, value);
    const std::string front = "<" + std::string(key) + ">" + std::string(value);
    if (written.find("</" + std::string(key) + ">") == front.size() && getTag(written, key) != value)
        return "setTag value not read back by getTag";

    const std::string plain = filterPlainText(text);
    if (filterPlainText(plain) != plain)
        return "filterPlainText is not stable on its own result";

    const int hundredths = parseHundredths(text);
    if (parseHundredths(formatHundredths(hundredths)) != hundredths)
        return "formatHundredths does not read back";

    const std::string utf8 = cp1252ToUtf8(text);
    if (utf8ToCp1252(utf8) != text)
        return "Windows-1252 text does not survive UTF-8 and back";
    (void)utf8ToCp1252(text); // the input as UTF-8, valid or not

    // Numbered elements read in one scan must equal getTag one by one.
    constexpr int numbered = 12;
    const NumberedTags tags(text, key, numbered);
    for (int n = 0; n < numbered; ++n) {
        if (tags.value(n) != getTag(text, std::string(key) + std::to_string(n)))
            return "NumberedTags differs from getTag for number " + std::to_string(n);
    }

    // The sequential element reader against getTag and deleteTag done
    // literally; two keys in turn, as the scoring pass reads them.
    if (key.find('<') == std::string_view::npos && (key.empty() || key[0] != '/')) {
        ElementSequence sequence(text);
        std::string working(text);
        for (const std::string_view k : {key, std::string_view("zxDrag")}) {
            for (int step = 0; step < 8; ++step) {
                const std::string expected = getTag(working, k);
                const std::string next = deleteTag(working, k);
                const std::optional<std::string_view> taken = sequence.take(k);
                if (next == working) {
                    if (taken)
                        return "ElementSequence took an element the literal reading does not remove";
                    break;
                }
                if (!taken || *taken != expected)
                    return "ElementSequence value differs from getTag at step " + std::to_string(step);
                working = next;
                if (sequence.workingText() != working)
                    return "ElementSequence working text differs from deleteTag at step " + std::to_string(step);
            }
        }
    }
    (void)element;
    return {};
}

// ------------------------------------------------------------ stored files

std::string storedFile(std::string_view input)
{
    for (int column = 0; column <= 5; ++column)
        (void)unscrambleText(input, column);

    // Whatever content is scrambled comes back; content without a zero
    // byte gives a stored text without one (readers stop at the first).
    const int column = input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 6;
    const std::string scrambled = scrambleText(input, column, fixedRandom(static_cast<std::uint32_t>(input.size())));
    if (unscrambleText(scrambled, column) != input)
        return "scrambled content does not unscramble to itself (column " + std::to_string(column) + ")";
    if (input.find('\0') == std::string_view::npos && scrambled.find('\0') != std::string::npos)
        return "scrambling made a zero byte";

    const auto [key, text] = splitAtZero(input);
    if (substituteBackward(substituteForward(text, key), key) != text)
        return "substitution does not reverse";

    (void)storedFileColumn(input);
    (void)isPlainTextPath(input);
    (void)lowerExtension(input);
    return {};
}

// ------------------------------------------------------------ bank

std::string bankIndex(std::string_view input)
{
    const std::string& folder = privateFolder();
    if (folder.empty())
        return "no private temporary folder";
    const std::string path = folder + "/bank.zxb";
    if (!writeBytes(path, input))
        return "the bank could not be written";

    const BankIndexResult result = readBankIndex(path);
    if (!result.ok())
        return {};
    const BankIndex& index = result.index;
    if (index.fileSize != input.size())
        return "bank file size differs from the bytes written";

    (void)listPageCount(index.questionFileList);
    (void)listPageCount(index.preTestFileList);
    (void)pageSizeOfQuestionList(index.questionFileList);
    (void)hasEmbeddedFiles(index.fileHeader);

    const BankSettings settings = BankSettings::parse(index.testList);
    (void)settings.hasPassword();
    (void)settings.cheatOffered();
    const AssembledQuestions assembled =
        assembleQuestions(index.questionFileList, index.testList, fixedRandom(static_cast<std::uint32_t>(input.size())));
    if (assembled.lastQuestion > lastAvailableQuestion(index.questionFileList))
        return "assembly presents more questions than the bank has";

    const std::vector<EmbeddedFileEntry> entries = parseEmbeddedFileList(index.fileHeader);
    int copied = 0;
    for (std::size_t n = 0; n < entries.size(); ++n) {
        (void)embeddedWorkingName(static_cast<int>(n), entries[n].authorName);
        const std::optional<ByteRange> range = embeddedFileRange(entries[n], index.length);
        if (!range || copied >= 4 || range->size() > (1 << 20))
            continue;
        // The copy gets exactly the bank's bytes, or fails when the bank
        // ends before the range does.
        ++copied;
        const std::string target = folder + "/R" + std::to_string(n);
        const bool ok = copyBankRange(path, *range, target);
        const bool fits = static_cast<std::uint64_t>(range->to) <= input.size();
        if (ok != fits)
            return ok ? "a range beyond the bank's end was copied" : "a range inside the bank was not copied";
        if (ok) {
            const std::optional<std::string> bytes = readBytes(target);
            const auto from = static_cast<std::size_t>(range->from);
            if (!bytes || *bytes != input.substr(from, static_cast<std::size_t>(range->size())))
                return "an embedded file copy differs from the bank's bytes";
            std::remove(target.c_str());
        }
    }
    return {};
}

std::string embeddedFiles(std::string_view input)
{
    const std::vector<EmbeddedFileEntry> entries = parseEmbeddedFileList(input);
    if (entries.size() > static_cast<std::size_t>(maxEmbeddedFiles))
        return "more embedded files than the list may hold";
    (void)hasEmbeddedFiles(input);

    const std::int64_t lengths[] = {0, 500, bankLengthFromContent(input), INT64_MAX, INT64_MIN, -500};
    for (std::size_t n = 0; n < entries.size(); ++n) {
        (void)embeddedWorkingName(static_cast<int>(n), entries[n].authorName);
        for (const std::int64_t length : lengths) {
            const std::optional<ByteRange> range = embeddedFileRange(entries[n], length);
            if (!range)
                continue;
            if (range->from < embeddedFileMinimumOffset || range->size() < embeddedFileMinimumSize)
                return "a range the extraction must not copy was given";
            std::int64_t from = 0;
            std::int64_t to = 0;
            if (__builtin_add_overflow(length, entries[n].start, &from)
                || __builtin_add_overflow(length, entries[n].end, &to) || from != range->from || to != range->to)
                return "a range that is not the entry's bytes was given";
        }
    }
    return {};
}

// ------------------------------------------------------------ objects

std::string dragTargets(std::string_view input)
{
    std::string record = getTag(input, "zxDrag");
    if (record.empty())
        record = std::string(input);
    const DragTargets plain(input);
    const DragTargets targets = DragTargets::fromRecord(record);

    for (int i = -1; i <= DragTargets::slotCount; ++i) {
        if (!targets.isDefined(i))
            continue;
        const DragTarget& target = targets.at(i);
        (void)target.mark();
        (void)plain.isDefined(i);
        (void)centreOnTarget(target, target.width, target.height);
        (void)findDropTarget(targets, ItemRect{target.left, target.top, target.width, target.height});
        const std::string problem = marksProblem(markDrag(record, i), "drag on target " + std::to_string(i));
        if (!problem.empty())
            return problem;
    }
    const int notSelected = parseHundredths(getTag(record, "DragMarkIfNotSelected"));
    const bool mayOverlap = itemsMayOverlap(record);
    (void)cheatCandidates(targets, notSelected);
    const auto taken = [](const ItemRect& area) { return area.left % 2 == 0; };
    const std::optional<Position> cheat = cheatPosition(targets, notSelected, 40, 20, mayOverlap, taken);
    const Position home{getTagInt(record, "DragLeft", 0), getTagInt(record, "DragTop", 0)};
    const DropOutcome drop = decideDrop(targets, ItemRect{home.x, home.y, 40, 20}, home, mayOverlap, taken);
    if (drop.placedIndex != -1 && !targets.isDefined(drop.placedIndex))
        return "a drop placed the item on an undefined target";
    const std::vector<Position> glide = glidePath(home, cheat.value_or(drop.destination));
    if (glide.empty() || glide.size() > 2001 || glide.back() != cheat.value_or(drop.destination))
        return "a glide does not end on its goal within 2000 steps";

    const int placed = storedPlacement(record, targets);
    if (placed != -1 && !targets.isDefined(placed))
        return "the stored placement names an undefined target";
    return marksProblem(markStoredDrag(record), "stored drag");
}

std::string typedAnswer(std::string_view input)
{
    auto [recordPart, typed] = splitAtZero(input);
    std::string record = getTag(recordPart, "zxField");
    if (record.empty())
        record = std::string(recordPart);
    std::string storedAnswer;
    if (typed.data() == recordPart.data()) {
        storedAnswer = getTag(record, "userAnswer");
        typed = storedAnswer;
    }

    const int restriction = fieldRestriction(record);
    (void)fieldKindFromRestriction(restriction);
    for (const int r : {0, 1, 2, restriction}) {
        (void)allowedCharacters(r);
        const std::size_t limit = std::min<std::size_t>(typed.size(), 64);
        for (std::size_t i = 0; i < limit; ++i) {
            const auto c = static_cast<unsigned char>(typed[i]);
            const KeyVerdict verdict = filterTypedCharacter(r, c, typed.substr(0, i), static_cast<int>(i % 3));
            if ((verdict == KeyVerdict::Ignored) == isAllowedCharacter(r, c))
                return "the key filter and the allowed set disagree";
        }
    }

    const std::string answer = normaliseAnswer(typed);
    if (normaliseAnswer(answer) != answer)
        return "normaliseAnswer is not stable on its own result";
    if (!answer.empty())
        (void)isTypedAnswerCorrect(record, answer);
    (void)isNoTextMarker(typed);
    (void)parseWholeNumber(answer);
    (void)reportedAnswer(record, typed);
    (void)expectedAnswerText(record);
    (void)parseDecimal(typed);
    (void)getTagDecimal(record, "FieldAnswer1");

    std::string problem = marksProblem(markField(record, typed), "typed field");
    if (problem.empty())
        problem = marksProblem(markStoredField(record), "stored field");
    return problem;
}

std::string decimal(std::string_view input)
{
    const Decimal value = parseDecimal(input);
    (void)value;
    (void)getTagDecimal(input, "FieldAnswer1");

    const int hundredths = parseHundredths(input);
    if (parseHundredths(formatHundredths(hundredths)) != hundredths)
        return "formatHundredths does not read back";
    for (int zeros = 0; zeros <= 3; ++zeros) {
        if (parseHundredths(formatHundredthsTrimmed(hundredths, zeros)) != hundredths)
            return "formatHundredthsTrimmed does not read back";
    }

    long long number = 0;
    if (parseIntStrict(input, number)) {
        if (parseBankInteger(input) != number)
            return "bank integers and strict integers disagree";
        const std::optional<int> whole = parseWholeNumber(input);
        if (number >= INT_MIN && number <= INT_MAX ? whole != static_cast<int>(number) : whole.has_value())
            return "whole numbers and strict integers disagree";
    }
    (void)parseBankInteger(input);
    (void)bankLengthFromContent(input);
    return {};
}

std::string colour(std::string_view input)
{
    const std::optional<Colour> read = colourFromText(input);
    if (read && colourFromText(colourToText(*read)) != read)
        return "a colour does not read back from its text";
    if (input.size() >= 4) {
        Colour any;
        for (int i = 0; i < 4; ++i)
            any.value = (any.value << 8) | static_cast<unsigned char>(input[static_cast<std::size_t>(i)]);
        if (colourFromText(colourToText(any)) != any)
            return "colour " + colourToText(any) + " does not read back";
    }
    return {};
}

std::string pageRecord(std::string_view input)
{
    const auto [settings, page] = splitAtZero(input);
    (void)pageSizeOfQuestionList(page);
    (void)feedbackEnabled(settings);
    (void)showAllFeedbackMatches(page);
    (void)textObjectDisplayText(getTag(page, "zxString"));

    ElementSequence sequence(page);
    for (int n = 0; n < maxObjectsPerKind; ++n) {
        const std::optional<std::string_view> button = sequence.take("zxButton");
        if (!button)
            break;
        (void)buttonKind(*button);
        (void)storedButtonState(*button);
        (void)buttonCheatView(*button);
        for (int state = 0; state <= 3; ++state) {
            const std::string problem = marksProblem(markButton(*button, state), "button");
            if (!problem.empty())
                return problem;
        }
        const std::string problem = marksProblem(markStoredButton(*button), "stored button");
        if (!problem.empty())
            return problem;
    }

    std::vector<std::optional<FeedbackCriterion>> slots(20);
    ElementSequence feedback(page);
    for (std::size_t n = 0; n < slots.size(); ++n) {
        const std::optional<std::string_view> record = feedback.take("zxFeedback");
        if (!record)
            break;
        slots[n] = FeedbackCriterion::fromRecord(*record);
        (void)textObjectDisplayText(getTag(*record, "zxString"));
    }
    const int score = getTagInt(page, "score", 0);
    const FeedbackChoice choice = chooseFeedback(settings, page, slots, score, score - 100, score + 100);
    for (const int slot : choice.shown) {
        if (slot < 0 || static_cast<std::size_t>(slot) >= slots.size() || !slots[static_cast<std::size_t>(slot)])
            return "feedback shown for a free or missing slot";
    }
    return {};
}

// ------------------------------------------------------------ app

std::string languageFile(std::string_view input)
{
    const LanguageTexts texts = parseLanguageFile(input);
    // Reading the same file over itself changes nothing.
    const LanguageTexts again = parseLanguageFile(input, texts);
    if (again.messages != texts.messages || again.hints != texts.hints || again.formTexts != texts.formTexts)
        return "a language file read over itself gives other texts";

    for (const FormTextLine& line : texts.formTexts) {
        (void)line.isFormCaption();
        (void)line.isHint();
        (void)hintEntryForProperty(line.property);
        (void)splitComboItems(line.value);
        (void)dialogNameFilters(line.value);
        (void)hintShortPart(line.value);
        (void)hintMessageKey(texts.hints, line.value);
    }
    for (int n = -1; n <= languageMessageCount; ++n)
        (void)texts.messageForKey("x" + std::to_string(n));
    // The About window's version line always shows the version.
    if (withProgramVersion(texts.messageForKey("x9"), "9.9.9").find("9.9.9") == std::string::npos)
        return "the version line lost the version";
    const std::string_view firstLine = input.substr(0, input.find_first_of("\r\n"));
    (void)parseLanguageLine(firstLine);
    (void)messageNumberFromKey(firstLine);
    (void)splitComboItems(input);
    (void)dialogNameFilters(input);
    return {};
}

std::string handoff(std::string_view input)
{
    const Handoff read = parseHandoff(input);
    (void)verbAction(read.verb, read.path);
    (void)isVerb(read.verb);
    (void)needsHandoffFile({read.verb, read.path});
    if (read.extraTimePercent < 0 || read.extraTimePercent > maxExtraTimePercent)
        return "extra time out of range";
    const std::string content = handoffContent(read.verb, read.path, read.extraTimePercent);
    const std::size_t extraLength = content.size() - handoffContent(read.verb, read.path).size();
    // Read back unless the parameters themselves hold marks found first.
    const std::size_t secondOpen = 4 + read.verb.size() + 5;
    if (content.find("</p1>") == 4 + read.verb.size() && content.find("<p2>") == secondOpen
        && content.find("</p2>") == content.size() - extraLength - 5) {
        const Handoff back = parseHandoff(content);
        if (back.verb != read.verb || back.path != read.path || back.extraTimePercent != read.extraTimePercent)
            return "a hand-off does not read back";
    }
    (void)startupBankPath(input);
    (void)recentKindOf(input);
    (void)recentCaption(input);
    (void)defaultApplication("application/x-zxexam-bank", {std::string(input)});
    return {};
}

// ------------------------------------------------------------ import

namespace {

// Fixed character cells, so that layouts repeat exactly.
class CellMeasurer : public import::TextMeasurer {
public:
    int height(const std::string& text, const import::TextStyle& style, int width) const override
    {
        const std::size_t perLine = static_cast<std::size_t>(std::max(1, width / 7));
        return static_cast<int>(std::min<std::size_t>(text.size() / perLine + 1, 100000)) * style.points;
    }
    int width(const std::string& text, const import::TextStyle&) const override
    {
        return static_cast<int>(std::min<std::size_t>(text.size(), 100000)) * 7;
    }
};

// Every page built from the questions must be a page the packer accepts.
std::string checkImportedPages(const import::SourceDocument& document)
{
    if (document.questions.empty() && document.error.empty())
        return "no question and no reason";
    const CellMeasurer measurer;
    BankSources sources;
    sources.settings = "<version>1</version>";
    const import::PictureLookup pictures = [&](const std::string& key) -> std::optional<import::PlacedPicture> {
        if (!import::findPicture(document, key))
            return std::nullopt;
        return import::PlacedPicture{"p.bmp", 300, 200};
    };
    for (const import::Question& question : document.questions) {
        const import::PageResult page = import::buildQuestionPage(question, *import::pageGeometryFor("640x480"), measurer, pictures);
        if (page.built == page.skipReason.empty())
            continue;
        if (!page.built)
            continue;
        for (const char* key : {"zxText", "zxButton", "zxField", "zxDrag", "zxFeedback", "zxPicture", "zxString"}) {
            const std::string open = std::string("<") + key + ">", close = std::string("</") + key + ">";
            std::size_t opens = 0, closes = 0;
            for (std::size_t at = page.record.find(open); at != std::string::npos; at = page.record.find(open, at + 1))
                ++opens;
            for (std::size_t at = page.record.find(close); at != std::string::npos; at = page.record.find(close, at + 1))
                ++closes;
            if (opens != closes)
                return std::string("a text broke the ") + key + " elements of a page";
        }
        sources.questionPages.push_back({"page", page.record});
    }
    std::string error;
    PackOptions options;
    options.requirePlayable = false;
    if (sources.questionPages.size() <= 500 && !checkBankSources(sources, options, error))
        return "an imported page is refused by the packer: " + error;
    return {};
}

} // namespace

std::string importGift(std::string_view input) { return checkImportedPages(import::readGift(input)); }

std::string importMoodle(std::string_view input) { return checkImportedPages(import::readMoodle(input)); }

std::string importQti(std::string_view input)
{
    if (input.substr(0, 2) == "PK")
        return checkImportedPages(import::readQtiPackage(input));
    return checkImportedPages(import::readQtiXml(input));
}

// ------------------------------------------------------------ registry

Entry entryNamed(std::string_view target)
{
    static constexpr std::pair<std::string_view, Entry> entries[] = {
        {"tagged_text", taggedText},   {"stored_file", storedFile},     {"bank_index", bankIndex},
        {"embedded_files", embeddedFiles}, {"drag_targets", dragTargets}, {"typed_answer", typedAnswer},
        {"decimal", decimal},          {"colour", colour},               {"language_file", languageFile},
        {"handoff", handoff},          {"rtf", rtf},                     {"results_file", resultsFile},
        {"scoring", scoring},          {"page_record", pageRecord},       {"journal", journal},
        {"import_gift", importGift},   {"import_moodle", importMoodle},   {"import_qti", importQti},
        {"results_read", resultsRead}, {"results_table", resultsTableRow}, {"verify", verify},
        {"item_analysis", itemAnalysis},
    };
    for (const auto& [name, entry] : entries) {
        if (name == target)
            return entry;
    }
    return nullptr;
}

int runEntry(Entry entry, const std::uint8_t* data, std::size_t size)
{
    const std::string problem = entry(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "broken rule: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

} // namespace zx::fuzz
