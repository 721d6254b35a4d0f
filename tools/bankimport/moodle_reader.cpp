#include "tools/bankimport/moodle_reader.h"

#include "tools/bankimport/html_text.h"
#include "tools/bankimport/source_text.h"
#include "tools/bankimport/xml_source.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace zx::import {

namespace {


class Reader {
public:
    explicit Reader(SourceDocument& document) : m_document(document) {}

    // The <file> pictures of an element become pictures of the document.
    void collectFiles(const xmlNode* node)
    {
        for (const xmlNode* file : children(node, "file")) {
            std::string bytes;
            if (attribute(file, "encoding") != "base64" || !decodeBase64(textOf(file), bytes) || bytes.empty())
                continue;
            const std::string key = m_prefix + attribute(file, "name");
            m_document.pictures.push_back({key, std::move(bytes)});
        }
    }

    RichText rich(const xmlNode* holder)
    {
        if (!holder)
            return {};
        collectFiles(holder);
        const std::string format = attribute(holder, "format");
        const std::string text = textOf(child(holder, "text"));
        if (format == "plain_text" || format == "markdown")
            return plainToRichText(text);
        return htmlToRichText(text, [this](const std::string& src) { return resolve(src); });
    }

    std::string resolve(const std::string& src) const
    {
        const std::string marker = "@@PLUGINFILE@@/";
        if (src.rfind(marker, 0) != 0)
            return "";
        std::string name = urlDecode(src.substr(marker.size()));
        const std::size_t query = name.find('?');
        if (query != std::string::npos)
            name.erase(query);
        const std::string key = m_prefix + name;
        if (findPicture(m_document, key))
            return key;
        // A file in a sub-path is stored under its bare name.
        const std::size_t slash = name.rfind('/');
        if (slash != std::string::npos && findPicture(m_document, m_prefix + name.substr(slash + 1)))
            return m_prefix + name.substr(slash + 1);
        return "";
    }

    double fraction(const xmlNode* answer)
    {
        double percent = 0;
        if (!parseNumber(attribute(answer, "fraction"), percent))
            return 0;
        return percent / 100.0;
    }

    void read(const xmlNode* node, std::string& category)
    {
        const std::string type = attribute(node, "type");
        if (type == "category") {
            category = categoryName(foldSpaces(textOf(child(child(node, "category"), "text"))));
            return;
        }
        m_prefix = "q" + std::to_string(m_document.questions.size()) + "/";
        Question q;
        q.kindName = type;
        q.category = category;
        q.name = foldSpaces(textOf(child(child(node, "name"), "text")));
        double grade = 1;
        if (const xmlNode* g = child(node, "defaultgrade"); g && parseNumber(textOf(g), grade))
            q.grade = static_cast<int>(std::clamp(grade * 100.0 + 0.5, 0.0, 1.0e8));
        q.generalFeedback = rich(child(node, "generalfeedback"));
        q.correctFeedback = rich(child(node, "correctfeedback"));
        q.partialFeedback = rich(child(node, "partiallycorrectfeedback"));
        q.incorrectFeedback = rich(child(node, "incorrectfeedback"));
        const xmlNode* questionText = child(node, "questiontext");

        if (type == "multianswer") {
            collectFiles(questionText);
            const std::string html = textOf(child(questionText, "text"));
            q.kind = QuestionKind::Cloze;
            const std::string marked = takeClozeGaps(html, q.gaps);
            splitClozePieces(htmlToRichText(marked, [this](const std::string& src) { return resolve(src); }), q);
            if (q.gaps.empty()) {
                q.kind = QuestionKind::Description;
                q.text = htmlToRichText(html, [this](const std::string& src) { return resolve(src); });
            }
            for (const Question& gap : q.gaps)
                if (gap.kind == QuestionKind::Unsupported) {
                    q.kind = QuestionKind::Unsupported;
                    q.skipReason = "a gap of a kind that cannot be marked";
                }
            finish(std::move(q));
            return;
        }
        q.text = rich(questionText);
        if (type == "multichoice") {
            q.kind = QuestionKind::Choice;
            q.singleAnswer = asciiLower(foldSpaces(textOf(child(node, "single")))) != "false";
            readAnswers(node, q);
        } else if (type == "truefalse") {
            q.kind = QuestionKind::TrueFalse;
            for (const xmlNode* answer : children(node, "answer")) {
                const bool isTrue = asciiLower(foldSpaces(textOf(child(answer, "text")))) == "true";
                if (isTrue)
                    q.trueIsCorrect = fraction(answer) > 0.5;
                (isTrue ? q.trueFeedback : q.falseFeedback) = rich(child(answer, "feedback"));
            }
        } else if (type == "shortanswer") {
            q.kind = QuestionKind::ShortAnswer;
            q.caseSensitive = foldSpaces(textOf(child(node, "usecase"))) == "1";
            readAnswers(node, q);
        } else if (type == "numerical") {
            q.kind = QuestionKind::Numerical;
            for (const xmlNode* answer : children(node, "answer")) {
                NumberAnswer n;
                n.value = foldSpaces(textOf(child(answer, "text")));
                n.tolerance = foldSpaces(textOf(child(answer, "tolerance")));
                n.fraction = fraction(answer);
                n.feedback = rich(child(answer, "feedback"));
                double check = 0;
                if (n.value == "*") {
                    q.approximations.push_back("an answer matching any number left out");
                    continue;
                }
                if (parseNumber(n.value, check))
                    q.numbers.push_back(std::move(n));
            }
            if (child(node, "units") && !children(child(node, "units"), "unit").empty())
                q.approximations.push_back("units are not asked for");
        } else if (type == "matching") {
            q.kind = QuestionKind::Matching;
            for (const xmlNode* sub : children(node, "subquestion")) {
                MatchPair pair;
                pair.prompt = rich(sub);
                pair.promptPlain = pair.prompt.plain();
                pair.answer = foldSpaces(htmlToPlain(textOf(child(child(sub, "answer"), "text"))));
                if (!pair.answer.empty())
                    q.pairs.push_back(std::move(pair));
            }
        } else if (type == "description") {
            q.kind = QuestionKind::Description;
        } else {
            q.kind = QuestionKind::Unsupported;
            q.skipReason = type == "essay" ? "an essay cannot be marked by the answer objects"
                                           : "the kind \"" + type + "\" cannot be marked by the answer objects";
        }
        finish(std::move(q));
    }

private:
    void readAnswers(const xmlNode* node, Question& q)
    {
        for (const xmlNode* answer : children(node, "answer")) {
            Answer a;
            a.fraction = fraction(answer);
            const std::string format = attribute(answer, "format");
            const std::string text = textOf(child(answer, "text"));
            a.text = format == "plain_text" || q.kind == QuestionKind::ShortAnswer
                         ? plainToRichText(text)
                         : htmlToRichText(text, [this](const std::string& src) { return resolve(src); });
            collectFiles(answer);
            a.plain = q.kind == QuestionKind::ShortAnswer ? foldSpaces(text) : a.text.plain();
            a.feedback = rich(child(answer, "feedback"));
            q.answers.push_back(std::move(a));
        }
    }

    void finish(Question q)
    {
        if (q.kind != QuestionKind::Unsupported && q.kind != QuestionKind::Description) {
            const bool empty = (q.kind == QuestionKind::Choice || q.kind == QuestionKind::ShortAnswer) ? q.answers.empty()
                               : q.kind == QuestionKind::Numerical                                  ? q.numbers.empty()
                               : q.kind == QuestionKind::Matching                                   ? q.pairs.empty()
                                                                                                    : false;
            if (empty) {
                q.kind = QuestionKind::Unsupported;
                q.skipReason = "no answer";
            }
        }
        if (q.name.empty())
            q.name = nameFromText(q.text.plain());
        m_document.questions.push_back(std::move(q));
    }

    SourceDocument& m_document;
    std::string m_prefix;
};

// "%50%text#feedback" pieces of a cloze gap; `escaped` marks \~ etc.
std::vector<std::string> splitGapAnswers(std::string_view body)
{
    std::vector<std::string> out;
    std::string current;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\\' && i + 1 < body.size()) {
            current += body[i];
            current += body[++i];
            continue;
        }
        if (body[i] == '~' || (body[i] == '=' && current.empty())) {
            if (!current.empty())
                out.push_back(current);
            current.clear();
            if (body[i] == '=')
                current += '=';
            continue;
        }
        current += body[i];
    }
    if (!current.empty())
        out.push_back(current);
    return out;
}

std::string unescapeGap(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

std::size_t findUnescapedChar(std::string_view text, char what)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
            continue;
        }
        if (text[i] == what)
            return i;
    }
    return std::string_view::npos;
}

Question readGap(std::string_view code)
{
    Question gap;
    // weight:TYPE:answers
    const std::size_t first = code.find(':');
    const std::size_t second = first == std::string_view::npos ? first : code.find(':', first + 1);
    if (second == std::string_view::npos) {
        gap.kind = QuestionKind::Unsupported;
        return gap;
    }
    double weight = 1;
    const std::string weightText(code.substr(0, first));
    if (weightText.empty() || !parseNumber(weightText, weight) || weight < 0)
        weight = 1;
    gap.grade = static_cast<int>(std::min(weight, 1.0e6) * 100.0 + 0.5);
    std::string type;
    for (const char ch : code.substr(first + 1, second - first - 1))
        type += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const std::string_view body = code.substr(second + 1);
    if (type == "SHORTANSWER" || type == "SA" || type == "MW" || type == "SHORTANSWER_C" || type == "SAC" || type == "MWC") {
        gap.kind = QuestionKind::ShortAnswer;
        gap.caseSensitive = type == "SHORTANSWER_C" || type == "SAC" || type == "MWC";
    } else if (type == "NUMERICAL" || type == "NM") {
        gap.kind = QuestionKind::Numerical;
    } else if (type.rfind("MULTICHOICE", 0) == 0 || type == "MC" || type == "MCV" || type == "MCH" || type == "MCS"
               || type == "MCVS" || type == "MCHS") {
        gap.kind = QuestionKind::Choice;
    } else if (type.rfind("MULTIRESPONSE", 0) == 0 || type == "MR" || type == "MRH" || type == "MRS" || type == "MRHS") {
        gap.kind = QuestionKind::Choice;
        gap.singleAnswer = false;
    } else {
        gap.kind = QuestionKind::Unsupported;
        return gap;
    }
    gap.kindName = type;
    for (std::string part : splitGapAnswers(body)) {
        double fraction = 0;
        if (!part.empty() && part[0] == '=') {
            fraction = 1;
            part.erase(0, 1);
        } else if (part.size() > 1 && part[0] == '%') {
            const std::size_t close = part.find('%', 1);
            double percent = 0;
            if (close != std::string::npos && parseNumber(part.substr(1, close - 1), percent)) {
                fraction = percent / 100.0;
                part.erase(0, close + 1);
            }
        }
        const std::size_t hash = findUnescapedChar(part, '#');
        const std::string feedback = hash == std::string::npos ? "" : unescapeGap(part.substr(hash + 1));
        const std::string text = foldSpaces(htmlToPlain(unescapeGap(part.substr(0, hash))));
        if (gap.kind == QuestionKind::Numerical) {
            NumberAnswer n;
            const std::size_t colon = text.find(':');
            n.value = text.substr(0, colon);
            n.tolerance = colon == std::string::npos ? "" : text.substr(colon + 1);
            n.fraction = fraction;
            n.feedback = plainToRichText(feedback);
            double check = 0;
            if (parseNumber(n.value, check))
                gap.numbers.push_back(std::move(n));
            continue;
        }
        Answer a;
        a.fraction = fraction;
        a.plain = text;
        a.text = plainToRichText(text);
        a.feedback = plainToRichText(feedback);
        gap.answers.push_back(std::move(a));
    }
    if ((gap.kind == QuestionKind::Numerical && gap.numbers.empty())
        || (gap.kind != QuestionKind::Numerical && gap.answers.empty()))
        gap.kind = QuestionKind::Unsupported;
    return gap;
}

} // namespace

std::string takeClozeGaps(std::string_view html, std::vector<Question>& gaps)
{
    std::string out;
    std::size_t i = 0;
    while (i < html.size()) {
        const std::size_t open = html.find('{', i);
        if (open == std::string_view::npos) {
            out.append(html.substr(i));
            break;
        }
        // A gap code: "{" weight? ":" TYPE ":" ... "}" with \} escaped.
        std::size_t close = std::string_view::npos;
        for (std::size_t k = open + 1; k < html.size(); ++k) {
            if (html[k] == '\\') {
                ++k;
                continue;
            }
            if (html[k] == '}') {
                close = k;
                break;
            }
            if (html[k] == '{')
                break;
        }
        const std::string_view code = close == std::string_view::npos ? std::string_view()
                                                                      : html.substr(open + 1, close - open - 1);
        const std::size_t colon = code.find(':');
        if (close == std::string_view::npos || colon == std::string_view::npos || code.find(':', colon + 1) == std::string_view::npos
            || gaps.size() >= 60) {
            out.append(html.substr(i, open + 1 - i));
            i = open + 1;
            continue;
        }
        out.append(html.substr(i, open - i));
        out += gapOpen + std::to_string(gaps.size()) + gapClose;
        gaps.push_back(readGap(code));
        i = close + 1;
    }
    return out;
}

void splitClozePieces(const RichText& marked, Question& question)
{
    std::string pending;
    for (const TextBlock& block : marked.blocks) {
        if (block.kind == TextBlock::Kind::Picture) {
            question.text.blocks.push_back(block);
            continue;
        }
        const std::string& t = block.text;
        std::size_t i = 0;
        while (i < t.size()) {
            const std::size_t open = t.find(gapOpen, i);
            const std::size_t close = open == std::string::npos ? open : t.find(gapClose, open);
            if (open == std::string::npos || close == std::string::npos) {
                pending += t.substr(i);
                break;
            }
            pending += t.substr(i, open - i);
            ClozePiece piece;
            piece.text = foldSpaces(pending);
            pending.clear();
            try {
                piece.gap = std::stoi(t.substr(open + gapOpen.size(), close - open - gapOpen.size()));
            } catch (...) {
                piece.gap = -1;
            }
            question.pieces.push_back(std::move(piece));
            i = close + gapClose.size();
        }
        pending += "\n";
    }
    question.gapTail = foldSpaces(pending);
}

SourceDocument readMoodle(std::string_view bytes)
{
    SourceDocument document;
    const XmlRoot xml = parseXmlRoot(bytes);
    if (!xml.doc) {
        document.error = xml.error;
        return document;
    }
    const xmlNode* root = xml.root;
    if (!isElement(root, "quiz")) {
        document.error = "no Moodle XML: the root element is not <quiz>";
        return document;
    }
    Reader reader(document);
    std::string category;
    for (const xmlNode* question : children(root, "question"))
        reader.read(question, category);
    if (document.questions.empty())
        document.error = "no question found";
    return document;
}

} // namespace zx::import
