#include "tools/bankimport/qti_reader.h"
#include "tools/bankimport/qti_item.h"

#include "tools/bankimport/html_text.h"
#include "tools/bankimport/moodle_reader.h"
#include "tools/bankimport/source_text.h"
#include "tools/bankimport/xml_source.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>

namespace zx::import {

namespace {

// QTI 3.0 writes "qti-choice-interaction" and "response-identifier" where
// 2.x writes "choiceInteraction" and "responseIdentifier".
std::string camel(std::string_view name)
{
    if (name.rfind("qti-", 0) == 0)
        name.remove_prefix(4);
    std::string out;
    bool upper = false;
    for (const char ch : name) {
        if (ch == '-') {
            upper = true;
            continue;
        }
        out += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
        upper = false;
    }
    return out;
}

std::string nameOf(const xmlNode* node) { return camel(localName(node)); }

std::string attr(const xmlNode* node, const char* camelName)
{
    std::string value = attribute(node, camelName);
    if (!value.empty())
        return value;
    std::string kebab;
    for (const char* p = camelName; *p; ++p) {
        if (std::isupper(static_cast<unsigned char>(*p))) {
            kebab += '-';
            kebab += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
        } else {
            kebab += *p;
        }
    }
    return attribute(node, kebab.c_str());
}

std::vector<const xmlNode*> kids(const xmlNode* node, std::string_view name = {})
{
    std::vector<const xmlNode*> out;
    if (!node)
        return out;
    for (const xmlNode* c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && (name.empty() || nameOf(c) == name))
            out.push_back(c);
    return out;
}

const xmlNode* kid(const xmlNode* node, std::string_view name)
{
    const auto all = kids(node, name);
    return all.empty() ? nullptr : all.front();
}

struct Declaration {
    std::string baseType;
    std::string cardinality;
    std::vector<std::string> correct;
    std::map<std::string, double> mapping;
    bool hasMapping = false;
    bool caseSensitive = false;
    double upperBound = 0;
    bool hasUpperBound = false;
    double defaultValue = 0; // the mark of a value the mapping does not list
    bool hasLowerBound = false;
};

struct Interaction {
    const xmlNode* node = nullptr;
    std::string kind; // camel name
    bool inlineGap = false;
};

const std::set<std::string> blockKinds = {"choiceInteraction", "matchInteraction", "associateInteraction",
                                          "gapMatchInteraction", "orderInteraction"};
const std::set<std::string> inlineKinds = {"textEntryInteraction", "inlineChoiceInteraction"};

bool isInteraction(const std::string& name)
{
    return name.size() > 11 && name.compare(name.size() - 11, 11, "Interaction") == 0;
}

std::string escapeText(std::string_view text)
{
    std::string out;
    for (const char ch : text) {
        if (ch == '<')
            out += "&lt;";
        else if (ch == '>')
            out += "&gt;";
        else if (ch == '&')
            out += "&amp;";
        else
            out += ch;
    }
    return out;
}

class ItemReader {
public:
    ItemReader(SourceDocument& document, std::function<std::string(const std::string&)> pictures)
        : m_document(document), m_pictures(std::move(pictures))
    {
    }

    Question read(const xmlNode* root)
    {
        Question q;
        q.name = foldSpaces(attr(root, "title"));
        if (q.name.empty())
            q.name = attr(root, "identifier");
        for (const xmlNode* d : kids(root, "responseDeclaration"))
            readDeclaration(d);
        const xmlNode* processing = kid(root, "responseProcessing");
        std::string templ = processing ? attr(processing, "template") : "";
        const std::size_t slash = templ.rfind('/');
        if (slash != std::string::npos)
            templ = templ.substr(slash + 1);
        const bool custom = processing && templ.empty();
        m_mapResponse = templ.find("map_response") != std::string::npos;

        const xmlNode* body = kid(root, "itemBody");
        std::string html;
        if (body)
            html = serialise(body, 0);
        q.kindName = "item";
        if (!m_unsupported.empty()) {
            q.kind = QuestionKind::Unsupported;
            q.kindName = m_unsupported;
            q.skipReason = "the interaction " + m_unsupported + " cannot be marked by the answer objects";
            return q;
        }
        auto resolver = [this](const std::string& src) { return m_pictures ? m_pictures(src) : std::string(); };
        const auto blocks = std::count_if(m_interactions.begin(), m_interactions.end(),
                                          [](const Interaction& i) { return !i.inlineGap; });
        if (m_interactions.empty()) {
            q.kind = QuestionKind::Description;
            q.kindName = "description";
            q.text = htmlToRichText(html, resolver);
        } else if (blocks == 0 && m_interactions.size() == 1 && m_interactions[0].kind == "textEntryInteraction") {
            // One text field: the gap shows as a line in the text.
            std::string shown = html;
            const std::size_t at = shown.find(gapOpen);
            const std::size_t end = at == std::string::npos ? at : shown.find(gapClose, at);
            if (end != std::string::npos)
                shown.replace(at, end + gapClose.size() - at, " _____ ");
            q.text = htmlToRichText(shown, resolver);
            Question gap = m_gaps.at(0);
            q.kind = gap.kind;
            q.kindName = "textEntryInteraction";
            q.answers = gap.answers;
            q.numbers = gap.numbers;
            q.caseSensitive = gap.caseSensitive;
            q.grade = gap.grade;
        } else if (blocks == 0 || (blocks == 1 && m_interactions.size() == 1)) {
            if (blocks == 0) {
                q.kind = QuestionKind::Cloze;
                q.kindName = "inline interactions";
                q.gaps = m_gaps;
                splitClozePieces(htmlToRichText(html, resolver), q);
                q.grade = 0;
                for (const Question& g : q.gaps)
                    q.grade += g.grade;
            } else {
                q.text = htmlToRichText(html, resolver);
                Question block = m_block;
                block.text = q.text;
                block.name = q.name;
                q = std::move(block);
                q.kindName = m_interactions[0].kind;
            }
        } else {
            q.kind = QuestionKind::Unsupported;
            q.kindName = "several interactions";
            q.skipReason = "block interactions mixed with others on one item";
            return q;
        }
        if (q.kind == QuestionKind::Unsupported)
            return q;
        if (custom)
            q.approximations.push_back("custom response processing read as matching the correct response");
        for (const std::string& note : m_notes)
            if (std::find(q.approximations.begin(), q.approximations.end(), note) == q.approximations.end())
                q.approximations.push_back(note);
        return q;
    }

private:
    void readDeclaration(const xmlNode* node)
    {
        Declaration d;
        d.baseType = attr(node, "baseType");
        d.cardinality = attr(node, "cardinality");
        for (const xmlNode* v : kids(kid(node, "correctResponse"), "value"))
            d.correct.push_back(foldSpaces(textOf(v)));
        if (const xmlNode* mapping = kid(node, "mapping")) {
            d.hasMapping = true;
            d.hasUpperBound = parseNumber(attr(mapping, "upperBound"), d.upperBound);
            double ignored = 0;
            d.hasLowerBound = parseNumber(attr(mapping, "lowerBound"), ignored);
            if (!parseNumber(attr(mapping, "defaultValue"), d.defaultValue))
                d.defaultValue = 0;
            for (const xmlNode* e : kids(mapping, "mapEntry")) {
                double value = 0;
                if (parseNumber(attr(e, "mappedValue"), value))
                    d.mapping[foldSpaces(attr(e, "mapKey"))] = value;
                if (attr(e, "caseSensitive") == "true")
                    d.caseSensitive = true;
            }
        }
        m_declarations[attr(node, "identifier")] = std::move(d);
    }

    const Declaration& declaration(const xmlNode* interaction)
    {
        return m_declarations[attr(interaction, "responseIdentifier")];
    }

    // Score of one response value: its mapping, else 1 when correct.
    double valueScore(const Declaration& d, const std::string& key) const
    {
        if (d.hasMapping && (m_mapResponse || d.correct.empty())) {
            auto found = d.mapping.find(key);
            return found == d.mapping.end() ? d.defaultValue : found->second;
        }
        return std::find(d.correct.begin(), d.correct.end(), key) != d.correct.end() ? 1 : 0;
    }

    // The interaction's best total for `count` values at most.
    double bestTotal(const Declaration& d, std::vector<double> scores, std::size_t count) const
    {
        std::sort(scores.rbegin(), scores.rend());
        double total = 0;
        for (std::size_t i = 0; i < scores.size() && i < count; ++i)
            total += std::max(0.0, scores[i]);
        if (d.hasUpperBound && d.upperBound > 0)
            total = std::min(total, d.upperBound);
        if (!(d.hasMapping && m_mapResponse))
            total = total > 0 ? 1 : 0; // all or nothing: one point
        return total;
    }

    static int gradeOf(double total) { return static_cast<int>(std::clamp(total * 100.0 + 0.5, 0.0, 1.0e8)); }

    RichText richOf(const xmlNode* node)
    {
        return htmlToRichText(innerOf(node), [this](const std::string& src) { return m_pictures ? m_pictures(src) : ""; });
    }

    std::string innerOf(const xmlNode* node)
    {
        std::string out;
        for (const xmlNode* c = node ? node->children : nullptr; c; c = c->next)
            out += serialiseNode(c, 1, false);
        return out;
    }

    void readChoice(const xmlNode* node)
    {
        Question q;
        q.kind = QuestionKind::Choice;
        const Declaration& d = declaration(node);
        int maxChoices = 1;
        try {
            maxChoices = std::stoi(attr(node, "maxChoices").empty() ? "1" : attr(node, "maxChoices"));
        } catch (...) {
        }
        q.singleAnswer = maxChoices == 1;
        std::vector<double> scores;
        for (const xmlNode* c : kids(node, "simpleChoice")) {
            Answer a;
            a.text = richOf(c);
            a.plain = a.text.plain();
            scores.push_back(valueScore(d, attr(c, "identifier")));
            q.answers.push_back(std::move(a));
        }
        const double total = bestTotal(d, scores, maxChoices <= 0 ? scores.size() : static_cast<std::size_t>(maxChoices));
        double positive = 0;
        for (double s : scores)
            positive += std::max(0.0, s);
        const bool allOrNothing = !(d.hasMapping && m_mapResponse);
        for (std::size_t i = 0; i < q.answers.size(); ++i)
            q.answers[i].fraction = allOrNothing ? (positive > 0 ? scores[i] / positive : 0)
                                                 : (total > 0 ? scores[i] / total : 0);
        if (allOrNothing && !q.singleAnswer && positive > 1)
            m_notes.push_back("all-or-nothing marks shared among the correct choices");
        if (!allOrNothing && d.hasLowerBound && std::any_of(scores.begin(), scores.end(), [](double v) { return v < 0; }))
            m_notes.push_back("negative marks can take the score below the mapping's lower bound");
        q.grade = gradeOf(total);
        m_block = std::move(q);
    }

    // Items dragged onto targets, from (item, target) pairs with scores.
    void readPairs(const std::vector<std::pair<std::string, std::string>>& itemsShown,
                   const std::vector<std::pair<std::string, std::string>>& targetsShown, const Declaration& d,
                   bool unordered)
    {
        Question q;
        q.kind = QuestionKind::Matching;
        std::map<std::string, int> targetIndex;
        for (const auto& [id, label] : targetsShown) {
            targetIndex[id] = static_cast<int>(q.targets.size());
            q.targets.push_back(label);
        }
        std::vector<std::string> keys = d.correct;
        if (d.hasMapping && m_mapResponse) {
            keys.clear();
            for (const auto& [key, value] : d.mapping)
                if (value > 0)
                    keys.push_back(key);
        }
        double total = 0;
        for (const auto& [id, label] : itemsShown) {
            Answer a;
            a.plain = label;
            a.text = plainToRichText(label);
            int target = -1;
            double score = 0;
            for (const std::string& key : keys) {
                std::istringstream in(key);
                std::string first, second;
                in >> first >> second;
                if (unordered && second == id)
                    std::swap(first, second);
                if (first != id || !targetIndex.count(second))
                    continue;
                if (target >= 0) {
                    m_notes.push_back("an answer that belongs on several targets keeps its first one");
                    break;
                }
                target = targetIndex[second];
                score = d.hasMapping && m_mapResponse ? d.mapping.at(key) : 1;
            }
            q.itemTarget.push_back(target);
            a.fraction = score;
            total += score;
            q.answers.push_back(std::move(a));
        }
        if (d.hasUpperBound && d.upperBound > 0 && d.hasMapping && m_mapResponse && total > d.upperBound) {
            for (Answer& a : q.answers)
                a.fraction *= d.upperBound / total;
            total = d.upperBound;
        }
        if (!(d.hasMapping && m_mapResponse)) {
            if (total > 1)
                m_notes.push_back("all-or-nothing marks shared among the pairs");
            total = total > 0 ? 1 : 0;
        }
        q.grade = gradeOf(total);
        m_block = std::move(q);
    }

    static std::vector<std::pair<std::string, std::string>> choicesOf(const std::vector<const xmlNode*>& nodes)
    {
        std::vector<std::pair<std::string, std::string>> out;
        for (const xmlNode* n : nodes)
            out.emplace_back(attr(n, "identifier"), foldSpaces(htmlToPlain(textOf(n))));
        return out;
    }

    void readMatch(const xmlNode* node)
    {
        const auto sets = kids(node, "simpleMatchSet");
        if (sets.size() != 2) {
            m_unsupported = "matchInteraction";
            return;
        }
        readPairs(choicesOf(kids(sets[0], "simpleAssociableChoice")), choicesOf(kids(sets[1], "simpleAssociableChoice")),
                  declaration(node), false);
    }

    void readAssociate(const xmlNode* node)
    {
        // The second member of each right pair is a target; the rest are items.
        const Declaration& d = declaration(node);
        const auto all = choicesOf(kids(node, "simpleAssociableChoice"));
        std::set<std::string> targetIds;
        for (const std::string& pair : d.correct) {
            std::istringstream in(pair);
            std::string first, second;
            in >> first >> second;
            targetIds.insert(second);
        }
        std::vector<std::pair<std::string, std::string>> items, targets;
        for (const auto& c : all)
            (targetIds.count(c.first) ? targets : items).push_back(c);
        readPairs(items, targets, d, true);
    }

    void readOrder(const xmlNode* node)
    {
        const Declaration& d = declaration(node);
        Question q;
        q.kind = QuestionKind::Ordering;
        const auto choices = choicesOf(kids(node, "simpleChoice"));
        for (std::size_t p = 0; p < d.correct.size(); ++p)
            q.targets.push_back(std::to_string(p + 1));
        for (const auto& [id, label] : choices) {
            Answer a;
            a.plain = label;
            a.text = plainToRichText(label);
            const auto at = std::find(d.correct.begin(), d.correct.end(), id);
            q.itemTarget.push_back(at == d.correct.end() ? -1 : static_cast<int>(at - d.correct.begin()));
            a.fraction = at == d.correct.end() ? 0 : 1;
            q.answers.push_back(std::move(a));
        }
        if (d.correct.size() > 1)
            m_notes.push_back("all-or-nothing marks shared among the positions");
        q.grade = d.correct.empty() ? 0 : 100;
        m_block = std::move(q);
    }

    void readGapMatch(const xmlNode* node, std::string& html)
    {
        // The text with its gaps numbered; the gap texts are the items.
        std::vector<std::pair<std::string, std::string>> targets;
        std::string text;
        std::function<void(const xmlNode*, int)> walk = [&](const xmlNode* n, int depth) {
            for (const xmlNode* c = n->children; c && depth < 100; c = c->next) {
                if (c->type == XML_TEXT_NODE) {
                    text += escapeText(reinterpret_cast<const char*>(c->content));
                    continue;
                }
                if (c->type != XML_ELEMENT_NODE)
                    continue;
                const std::string name = nameOf(c);
                if (name == "gapText" || name == "gapImg" || name == "prompt")
                    continue;
                if (name == "br") {
                    text += "<br>";
                    continue;
                }
                if (name == "gap") {
                    targets.emplace_back(attr(c, "identifier"), std::to_string(targets.size() + 1));
                    text += " (" + std::to_string(targets.size()) + ") ";
                    continue;
                }
                const bool block = name == "p" || name == "div" || name == "blockquote" || name == "li";
                if (block)
                    text += "<p>";
                walk(c, depth + 1);
                if (block)
                    text += "</p>";
            }
        };
        if (const xmlNode* prompt = kid(node, "prompt"))
            html += "<p>" + innerOf(prompt) + "</p>";
        walk(node, 0);
        html += text;
        readPairs(choicesOf(kids(node, "gapText")), targets, declaration(node), false);
    }

    Question readGapQuestion(const xmlNode* node, const std::string& kind)
    {
        Question gap;
        const Declaration& d = declaration(node);
        gap.kindName = kind;
        if (kind == "inlineChoiceInteraction") {
            gap.kind = QuestionKind::Choice;
            std::vector<double> scores;
            for (const xmlNode* c : kids(node, "inlineChoice")) {
                Answer a;
                a.plain = foldSpaces(htmlToPlain(textOf(c)));
                a.text = plainToRichText(a.plain);
                scores.push_back(valueScore(d, attr(c, "identifier")));
                gap.answers.push_back(std::move(a));
            }
            const double total = bestTotal(d, scores, 1);
            for (std::size_t i = 0; i < gap.answers.size(); ++i)
                gap.answers[i].fraction = total > 0 ? std::max(-1.0, scores[i] / total) : 0;
            gap.grade = gradeOf(total);
            return gap;
        }
        // Text entry: the correct values and the mapped ones.
        std::vector<std::pair<std::string, double>> values;
        for (const std::string& v : d.correct)
            values.emplace_back(v, 1.0);
        double top = 1;
        if (d.hasMapping && m_mapResponse) {
            values.clear();
            top = 0;
            for (const auto& [key, value] : d.mapping)
                top = std::max(top, value);
            for (const auto& [key, value] : d.mapping)
                values.emplace_back(key, top > 0 ? value / top : 0);
            if (d.hasUpperBound && d.upperBound > 0)
                top = std::min(top, d.upperBound);
        }
        const bool number = d.baseType == "float" || d.baseType == "integer";
        gap.kind = number ? QuestionKind::Numerical : QuestionKind::ShortAnswer;
        gap.caseSensitive = d.caseSensitive;
        for (const auto& [value, fraction] : values) {
            if (number) {
                NumberAnswer n;
                n.value = value;
                n.fraction = fraction;
                gap.numbers.push_back(std::move(n));
            } else {
                Answer a;
                a.plain = foldSpaces(value);
                a.fraction = fraction;
                gap.answers.push_back(std::move(a));
            }
        }
        gap.grade = gradeOf(values.empty() ? 0 : top);
        if ((number && gap.numbers.empty()) || (!number && gap.answers.empty()))
            gap.kind = QuestionKind::Unsupported;
        return gap;
    }

    // The body as HTML with the interactions taken out.
    std::string serialise(const xmlNode* body, int depth)
    {
        std::string out;
        for (const xmlNode* c = body->children; c; c = c->next)
            out += serialiseNode(c, depth + 1, true);
        return out;
    }

    std::string serialiseNode(const xmlNode* c, int depth, bool interactions)
    {
        if (depth > 100)
            return {};
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE)
            return escapeText(reinterpret_cast<const char*>(c->content));
        if (c->type != XML_ELEMENT_NODE)
            return {};
        const std::string name = nameOf(c);
        if (interactions && isInteraction(name)) {
            Interaction i{c, name, inlineKinds.count(name) > 0};
            m_interactions.push_back(i);
            if (i.inlineGap) {
                Question gap = readGapQuestion(c, name);
                if (gap.kind == QuestionKind::Unsupported)
                    m_unsupported = name;
                m_gaps.push_back(std::move(gap));
                return gapOpen + std::to_string(m_gaps.size() - 1) + gapClose;
            }
            if (!blockKinds.count(name)) {
                m_unsupported = name;
                return {};
            }
            std::string html;
            if (name != "gapMatchInteraction")
                if (const xmlNode* prompt = kid(c, "prompt"))
                    html = "<p>" + innerOf(prompt) + "</p>";
            if (name == "choiceInteraction")
                readChoice(c);
            else if (name == "matchInteraction")
                readMatch(c);
            else if (name == "associateInteraction")
                readAssociate(c);
            else if (name == "orderInteraction")
                readOrder(c);
            else
                readGapMatch(c, html);
            return html;
        }
        if (name == "img" || name == "object") {
            const char* key = name == "img" ? "src" : "data";
            return "<img src=\"" + escapeText(attribute(c, key)) + "\" alt=\"" + escapeText(attribute(c, "alt")) + "\">";
        }
        if (name == "rubricBlock" || name == "modalFeedback" || name == "feedbackBlock" || name == "feedbackInline"
            || name == "templateBlock" || name == "templateInline" || name == "printedVariable")
            return {};
        std::string inner;
        for (const xmlNode* k = c->children; k; k = k->next)
            inner += serialiseNode(k, depth + 1, interactions);
        return "<" + name + ">" + inner + "</" + name + ">";
    }

    SourceDocument& m_document;
    std::function<std::string(const std::string&)> m_pictures;
    std::map<std::string, Declaration> m_declarations;
    bool m_mapResponse = false;
    std::vector<Interaction> m_interactions;
    std::vector<Question> m_gaps;
    Question m_block;
    std::string m_unsupported;
    std::vector<std::string> m_notes;
};

} // namespace

bool isQtiItemRoot(const xmlNode* root) { return root && nameOf(root) == "assessmentItem"; }

// Reads the item in `doc`; pictures come from `pictures` (package) if any.
void readQtiItem(const xmlNode* root, SourceDocument& document,
              const std::function<std::string(const std::string&)>& pictures)
{
    ItemReader reader(document, pictures);
    Question q = reader.read(root);
    if (q.name.empty())
        q.name = nameFromText(q.text.plain());
    // The item's modal feedback is shown whatever the answer.
    for (const xmlNode* f : kids(root, "modalFeedback")) {
        const RichText text = htmlToRichText(innerXml(f));
        for (const TextBlock& b : text.blocks)
            q.generalFeedback.blocks.push_back(b);
    }
    if (q.kind != QuestionKind::Unsupported && q.kind != QuestionKind::Description && q.grade <= 0) {
        q.kind = QuestionKind::Unsupported;
        q.skipReason = "no correct response";
    }
    document.questions.push_back(std::move(q));
}


SourceDocument readQtiXml(std::string_view bytes)
{
    SourceDocument document;
    const XmlRoot xml = parseXmlRoot(bytes);
    if (!xml.doc) {
        document.error = xml.error;
        return document;
    }
    const xmlNode* root = xml.root;
    if (isQtiItemRoot(root)) {
        readQtiItem(root, document, {});
    } else if (root && (nameOf(root) == "assessmentTest" || nameOf(root) == "manifest")) {
        document.error = "a QTI test or manifest names its items in other files: import the content package (.zip)";
    } else {
        document.error = "no QTI item: the root element is <" + std::string(localName(root)) + ">";
    }
    return document;
}

} // namespace zx::import
