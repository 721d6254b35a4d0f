#include "tools/bankimport/gift_reader.h"

#include "tools/bankimport/html_text.h"
#include "tools/bankimport/source_text.h"

#include <algorithm>
#include <cctype>

namespace zx::import {

namespace {

// Position of the first unescaped `what` at or after `from`, or npos.
std::size_t findUnescaped(std::string_view text, std::string_view what, std::size_t from = 0)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
            continue;
        }
        if (text.substr(i, what.size()) == what)
            return i;
    }
    return std::string_view::npos;
}

std::string unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' ? '\n' : next;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string trim(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    return std::string(text.substr(b, e - b));
}


struct Formatted {
    std::string format = "moodle";
    std::string text;
};

// "[html]text" -> html, text.
Formatted splitFormat(std::string_view raw)
{
    Formatted out;
    std::string t = trim(raw);
    if (!t.empty() && t[0] == '[') {
        const std::size_t close = t.find(']');
        if (close != std::string::npos && close < 20) {
            out.format = asciiLower(t.substr(1, close - 1));
            t = trim(t.substr(close + 1));
        }
    }
    out.text = t;
    return out;
}

RichText richOf(std::string_view raw, const std::string& format)
{
    const std::string text = unescape(raw);
    if (format == "plain" || format == "markdown")
        return plainToRichText(text);
    return htmlToRichText(text);
}

// A weight "%50%" at the start of an answer: the share, and the rest.
std::string takeWeight(std::string text, double& fraction, bool& hasWeight)
{
    hasWeight = false;
    text = trim(text);
    if (text.size() > 1 && text[0] == '%') {
        const std::size_t close = text.find('%', 1);
        double percent = 0;
        if (close != std::string::npos && parseNumber(text.substr(1, close - 1), percent)) {
            fraction = percent / 100.0;
            hasWeight = true;
            return trim(text.substr(close + 1));
        }
    }
    return text;
}

// "text#feedback" -> text, feedback (both still escaped).
std::pair<std::string, std::string> splitFeedback(std::string_view text)
{
    const std::size_t hash = findUnescaped(text, "#");
    if (hash == std::string_view::npos)
        return {trim(text), ""};
    return {trim(text.substr(0, hash)), trim(text.substr(hash + 1))};
}

// The answers of a block, each starting with its '=' or '~'.
std::vector<std::string> splitAnswers(std::string_view block)
{
    std::vector<std::string> out;
    std::size_t start = std::string_view::npos;
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (block[i] == '\\') {
            ++i;
            continue;
        }
        if (block[i] == '=' || block[i] == '~') {
            if (start != std::string_view::npos)
                out.emplace_back(block.substr(start, i - start));
            start = i;
        }
    }
    if (start != std::string_view::npos)
        out.emplace_back(block.substr(start));
    return out;
}

void readNumerical(std::string_view block, Question& q)
{
    q.kind = QuestionKind::Numerical;
    q.kindName = "numerical";
    std::vector<std::string> parts = splitAnswers(block);
    if (parts.empty())
        parts.emplace_back(block);
    for (std::string part : parts) {
        if (!part.empty() && (part[0] == '=' || part[0] == '~')) {
            const bool wrong = part[0] == '~';
            part.erase(0, 1);
            if (wrong)
                continue; // numerical answers marked wrong add nothing
        }
        NumberAnswer answer;
        bool hasWeight = false;
        double fraction = 1;
        auto [body, feedback] = splitFeedback(takeWeight(part, fraction, hasWeight));
        answer.fraction = fraction;
        answer.feedback = richOf(feedback, "moodle");
        body = unescape(body);
        const std::size_t dots = body.find("..");
        const std::size_t colon = body.find(':');
        double check = 0;
        if (dots != std::string::npos) {
            answer.isRange = true;
            answer.low = trim(body.substr(0, dots));
            answer.high = trim(body.substr(dots + 2));
            if (!parseNumber(answer.low, check) || !parseNumber(answer.high, check))
                continue;
        } else {
            answer.value = trim(body.substr(0, colon));
            answer.tolerance = colon == std::string::npos ? "" : trim(body.substr(colon + 1));
            if (!parseNumber(answer.value, check) || (!answer.tolerance.empty() && !parseNumber(answer.tolerance, check)))
                continue;
        }
        q.numbers.push_back(std::move(answer));
    }
    if (q.numbers.empty()) {
        q.kind = QuestionKind::Unsupported;
        q.skipReason = "no readable number";
    }
}

void readMatching(const std::vector<std::string>& parts, const std::string& format, Question& q)
{
    q.kind = QuestionKind::Matching;
    q.kindName = "matching";
    for (const std::string& raw : parts) {
        const std::string part = raw.substr(1);
        const std::size_t arrow = findUnescaped(part, "->");
        if (arrow == std::string::npos)
            continue;
        MatchPair pair;
        pair.prompt = richOf(part.substr(0, arrow), format);
        pair.promptPlain = pair.prompt.plain();
        pair.answer = foldSpaces(unescape(trim(part.substr(arrow + 2))));
        if (pair.answer.empty())
            continue;
        q.pairs.push_back(std::move(pair));
    }
    if (q.pairs.empty()) {
        q.kind = QuestionKind::Unsupported;
        q.skipReason = "no matching pair";
    }
}

void readAnswerBlock(std::string_view rawBlock, const std::string& format, Question& q)
{
    std::string block = trim(rawBlock);
    // General feedback: "####text" at the end of the block.
    const std::size_t general = findUnescaped(block, "####");
    if (general != std::string::npos) {
        q.generalFeedback = richOf(block.substr(general + 4), format);
        block = trim(block.substr(0, general));
    }
    if (block.empty()) {
        q.kind = QuestionKind::Unsupported;
        q.kindName = "essay";
        q.skipReason = "an essay cannot be marked by the answer objects";
        return;
    }
    if (block[0] == '#') {
        readNumerical(block.substr(1), q);
        return;
    }
    const auto [head, feedback] = splitFeedback(block);
    const std::string word = asciiLower(head);
    if (word == "t" || word == "true" || word == "f" || word == "false") {
        q.kind = QuestionKind::TrueFalse;
        q.kindName = "truefalse";
        q.trueIsCorrect = word[0] == 't';
        // "{T#feedback for a wrong answer#feedback for the right one}"
        const auto [wrongFeedback, rightFeedback] = splitFeedback(feedback);
        RichText wrong = richOf(wrongFeedback, format);
        RichText right = richOf(rightFeedback, format);
        q.trueFeedback = q.trueIsCorrect ? right : wrong;
        q.falseFeedback = q.trueIsCorrect ? wrong : right;
        return;
    }
    const std::vector<std::string> parts = splitAnswers(block);
    if (parts.empty()) {
        q.kind = QuestionKind::Unsupported;
        q.kindName = "unknown";
        q.skipReason = "answer block not understood";
        return;
    }
    if (findUnescaped(block, "->") != std::string::npos) {
        readMatching(parts, format, q);
        return;
    }
    const bool anyWrong = std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p[0] == '~'; });
    const bool anyRight = std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p[0] == '='; });
    q.kind = anyWrong ? QuestionKind::Choice : QuestionKind::ShortAnswer;
    q.kindName = anyWrong ? "multichoice" : "shortanswer";
    // A choice block with no "=" answer takes several answers.
    q.singleAnswer = anyRight;
    for (const std::string& part : parts) {
        Answer answer;
        bool hasWeight = false;
        double fraction = part[0] == '=' ? 1.0 : 0.0;
        const auto [body, fb] = splitFeedback(takeWeight(part.substr(1), fraction, hasWeight));
        answer.fraction = fraction;
        answer.text = richOf(body, format);
        answer.plain = answer.text.plain();
        answer.feedback = richOf(fb, format);
        if (answer.plain.empty() && answer.text.empty())
            continue;
        q.answers.push_back(std::move(answer));
    }
    if (q.answers.empty()) {
        q.kind = QuestionKind::Unsupported;
        q.skipReason = "no answer";
    }
}

void readQuestion(std::string chunk, std::string& category, SourceDocument& document)
{
    // "$CATEGORY:" lines set the category of the questions that follow.
    while (true) {
        chunk = trim(chunk);
        if (chunk.rfind("$CATEGORY:", 0) != 0)
            break;
        const std::size_t end = chunk.find('\n');
        category = categoryName(chunk.substr(10, end == std::string::npos ? std::string::npos : end - 10));
        chunk = end == std::string::npos ? std::string() : chunk.substr(end + 1);
    }
    if (chunk.empty())
        return;
    Question q;
    q.category = category;
    if (chunk.rfind("::", 0) == 0) {
        const std::size_t close = findUnescaped(chunk, "::", 2);
        if (close != std::string::npos) {
            q.name = foldSpaces(unescape(chunk.substr(2, close - 2)));
            chunk = trim(chunk.substr(close + 2));
        }
    }
    const std::size_t open = findUnescaped(chunk, "{");
    const std::size_t close = open == std::string::npos ? open : findUnescaped(chunk, "}", open + 1);
    std::string textPart = chunk;
    std::string after;
    if (open != std::string::npos && close != std::string::npos) {
        textPart = chunk.substr(0, open);
        after = trim(chunk.substr(close + 1));
    }
    const Formatted formatted = splitFormat(textPart);
    std::string textRaw = formatted.text;
    if (!after.empty())
        textRaw = trim(textRaw) + " _____ " + after; // a missing word
    q.text = richOf(textRaw, formatted.format);
    if (open == std::string::npos || close == std::string::npos) {
        if (open != std::string::npos) {
            q.kind = QuestionKind::Unsupported;
            q.kindName = "unknown";
            q.skipReason = "answer block without its closing }";
        } else {
            q.kind = QuestionKind::Description;
            q.kindName = "description";
        }
    } else {
        readAnswerBlock(std::string_view(chunk).substr(open + 1, close - open - 1), formatted.format, q);
    }
    if (q.name.empty())
        q.name = nameFromText(q.text.plain());
    document.questions.push_back(std::move(q));
}

} // namespace

bool looksLikeGift(std::string_view bytes)
{
    std::size_t i = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        i = 3;
    while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[i])))
        ++i;
    return i >= bytes.size() || bytes[i] != '<';
}

SourceDocument readGift(std::string_view bytes)
{
    SourceDocument document;
    // Zero bytes: a binary file (a picture, a document) given by mistake.
    if (bytes.find('\0') != std::string_view::npos) {
        document.error = "not a text file (it holds zero bytes)";
        return document;
    }
    const std::string text = sourceToUtf8(bytes);
    // Lines: comments dropped; chunks end at blank lines.
    std::string chunk;
    std::string category;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string trimmed = trim(line);
        if (trimmed.rfind("//", 0) == 0) {
            // a comment line
        } else if (trimmed.empty()) {
            readQuestion(std::move(chunk), category, document);
            chunk.clear();
        } else {
            chunk += line;
            chunk += '\n';
        }
        start = end + 1;
    }
    readQuestion(std::move(chunk), category, document);
    if (document.questions.empty())
        document.error = "no question found";
    return document;
}

} // namespace zx::import
