#include "tools/bankimport/page_builder.h"

#include "tagtext/tagged_text.h"
#include "tools/bankimport/mark_rules.h"

#include <algorithm>
#include <map>

namespace zx::import {

namespace {

constexpr int margin = 30;
constexpr int gap = 10;
constexpr int bodyPoints = 12;
constexpr int feedbackPoints = 11;
constexpr int perKindLimit = 60;
constexpr const char* textColour = "clBlack";
constexpr const char* panelColour = "$00E6FAFF";

std::string num(int v) { return std::to_string(v); }

std::string mark(int hundredths) { return formatHundredthsTrimmed(hundredths, 2); }

std::string crlf(const std::string& text)
{
    std::string out;
    for (const char ch : text) {
        if (ch == '\n')
            out += "\r\n";
        else if (ch != '\r')
            out += ch;
    }
    return out;
}

// Drag target fields are separated by "," and ended by ";".
std::string targetLabel(const std::string& bytes)
{
    std::string out = bytes;
    for (char& ch : out) {
        if (ch == ',')
            ch = '\x82';
        else if (ch == ';')
            ch = ':';
        else if (ch == '\r' || ch == '\n')
            ch = ' ';
    }
    return out;
}

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

class PageWriter {
public:
    PageWriter(const PageGeometry& geometry, const TextMeasurer& measurer)
        : m_geometry(geometry), m_measurer(measurer), m_y(20)
    {
    }

    int contentWidth() const { return m_geometry.width - 2 * margin; }
    int y() const { return m_y; }
    void advance(int pixels) { m_y += pixels; }
    bool overflowed() const { return m_y > m_geometry.height - 8 || m_overCount; }
    int bottom() const { return m_geometry.height - 8; }

    int measure(const std::string& utf8, const TextStyle& style, int width) const
    {
        return std::max(m_measurer.height(utf8, style, width), 1) + 2;
    }
    int measureWidth(const std::string& utf8, const TextStyle& style) const { return m_measurer.width(utf8, style); }

    std::string text(const Rect& r, const std::string& utf8, const TextStyle& style, const std::string& feedback = "0",
                     int alignment = 0, const char* colour = textColour)
    {
        count("text");
        bool lossy = false;
        const std::string bytes = crlf(tagSafeText(utf8, &lossy));
        std::string e = "<zxText><feedback>" + feedback + "</feedback><TextLayer>6</TextLayer><TextIsSubtitle>0</TextIsSubtitle>"
                        "<textLeft>" + num(r.left) + "</textLeft><textTop>" + num(r.top) + "</textTop><textWidth>"
                        + num(r.width) + "</textWidth><textHeight>" + num(r.height) + "</textHeight><zxFontName>"
                        + importFontName + "</zxFontName><zxFontSize>" + num(style.points) + "</zxFontSize><zxFontColour>"
                        + colour + "</zxFontColour><zxString>" + bytes + "</zxString>";
        if (lossy)
            e += "<zxStringUtf8>" + crlf(tagSafeUtf8(utf8)) + "</zxStringUtf8>";
        e += "<zxBold>" + num(style.bold) + "</zxBold><zxItalic>" + num(style.italic)
             + "</zxItalic><zxUnderline>0</zxUnderline><zxAlignment>" + num(alignment) + "</zxAlignment></zxText>";
        return e;
    }

    std::string picture(const Rect& r, const std::string& media, const std::string& name, int layer = 7)
    {
        count("picture");
        return "<zxPicture><feedback>0</feedback><PictureLayer>" + num(layer) + "</PictureLayer><PictureName>"
               + tagSafeText(name) + "</PictureName><picFilePathAbs>" + media
               + "</picFilePathAbs><picOverFilePathAbs>0</picOverFilePathAbs><picDownFilePathAbs>0</picDownFilePathAbs>"
                 "<picAudioAbs>0</picAudioAbs><PictureLeft>"
               + num(r.left) + "</PictureLeft><PictureTop>" + num(r.top) + "</PictureTop><PictureWidth>" + num(r.width)
               + "</PictureWidth><PictureHeight>" + num(r.height) + "</PictureHeight><picPosition>2</picPosition></zxPicture>";
    }

    std::string shape(const Rect& r)
    {
        count("shape");
        return "<zxShape><feedback>0</feedback><ShapeLayer>8</ShapeLayer><ShapeLeft>" + num(r.left) + "</ShapeLeft><ShapeTop>"
               + num(r.top) + "</ShapeTop><ShapeWidth>" + num(r.width) + "</ShapeWidth><ShapeHeight>" + num(r.height)
               + "</ShapeHeight><ShapeShape>1</ShapeShape><ShapePenWidth>1</ShapePenWidth><ShapePenColour>clNavy</ShapePenColour>"
                 "<ShapePenStyle>2</ShapePenStyle><ShapeColor>$00FFF8F0</ShapeColor><ShapeTransparent>0</ShapeTransparent>"
                 "<ShapeStyle>0</ShapeStyle></zxShape>";
    }

    std::string choiceButton(int left, int top, const std::string& name, int markIfSelected, bool box)
    {
        count("button");
        return "<zxButton><buttonType>0</buttonType><ButtonLayer>5</ButtonLayer><ButtonName>" + tagSafeText(name)
               + "</ButtonName><buttonResultsText>-empty45646-</buttonResultsText><buttonLeft>" + num(left)
               + "</buttonLeft><buttonTop>" + num(top) + "</buttonTop><s1>" + (box ? drawn::checkNormal : drawn::choiceNormal)
               + "</s1><s2>" + (box ? drawn::checkOver : drawn::choiceOver) + "</s2><s3>"
               + (box ? drawn::checkSelected : drawn::choiceSelected)
               + "</s3><ButtonSound1>0</ButtonSound1><buttonMarkIfSelected>" + mark(markIfSelected)
               + "</buttonMarkIfSelected><buttonMarkIfNotSelected>0</buttonMarkIfNotSelected><userAnswer>0</userAnswer></zxButton>";
    }

    std::string trueFalseButton(int left, int top, const std::string& name, int trueMark, int falseMark)
    {
        count("button");
        std::string e = "<zxButton><buttonType>1</buttonType><ButtonLayer>5</ButtonLayer><ButtonName>" + tagSafeText(name)
                        + "</ButtonName><buttonResultsText>-empty45646-</buttonResultsText><buttonLeft>" + num(left)
                        + "</buttonLeft><buttonTop>" + num(top) + "</buttonTop>";
        for (int i = 0; i < 7; ++i)
            e += "<tf" + num(i + 1) + ">" + drawn::trueFalse[i] + "</tf" + num(i + 1) + ">";
        e += "<ButtonSound1>0</ButtonSound1><ButtonSound2>0</ButtonSound2><ButtonSound3>0</ButtonSound3>"
             "<buttonMarkIfSelected>0</buttonMarkIfSelected><buttonMarkIfNotSelected>0</buttonMarkIfNotSelected>"
             "<buttonMarkIfTrueSelected>"
             + mark(trueMark) + "</buttonMarkIfTrueSelected><buttonMarkIfFalseSelected>" + mark(falseMark)
             + "</buttonMarkIfFalseSelected><buttonMarkIfNoTFSelection>0</buttonMarkIfNoTFSelection><userAnswer>0</userAnswer></zxButton>";
        return e;
    }

    std::string field(const Rect& r, const std::string& name, int restriction, bool useRange,
                      const std::vector<std::string>& answers, int markIfCorrect)
    {
        count("field");
        std::string e = "<zxField><FieldName>" + tagSafeText(name) + "</FieldName><FieldResultsText>-empty45646-</FieldResultsText>"
                        "<FieldLeft>" + num(r.left) + "</FieldLeft><FieldTop>" + num(r.top) + "</FieldTop><FieldWidth>"
                        + num(r.width) + "</FieldWidth><FieldHeight>" + num(r.height) + "</FieldHeight><editRestriction>"
                        + num(restriction) + "</editRestriction><useRange>" + num(useRange) + "</useRange><userAnswer></userAnswer>";
        for (int k = 1; k <= 20; ++k) {
            const std::string value = k <= static_cast<int>(answers.size()) ? tagSafeText(answers[k - 1]) : "-empty45646-";
            e += "<FieldAnswer" + num(k) + ">" + value + "</FieldAnswer" + num(k) + ">";
        }
        e += "<FieldMarkIfCorrect>" + mark(markIfCorrect) + "</FieldMarkIfCorrect><FieldMarkIfIncorrect>0</FieldMarkIfIncorrect>"
             "<FieldMarkIfNotSelected>0</FieldMarkIfNotSelected></zxField>";
        return e;
    }

    std::string drag(const Rect& home, const std::string& name, const std::string& targets)
    {
        count("drag");
        return "<zxDrag><DragName>" + tagSafeText(name) + "</DragName><dragFilePathAbs>0</dragFilePathAbs>"
               "<dragOverFilePathAbs>0</dragOverFilePathAbs><dragDownFilePathAbs>0</dragDownFilePathAbs><DragLeft>"
               + num(home.left) + "</DragLeft><DragTop>" + num(home.top) + "</DragTop><DragWidth>" + num(home.width)
               + "</DragWidth><DragHeight>" + num(home.height) + "</DragHeight><targets>" + targets
               + "</targets><dragCanIntersect>0</dragCanIntersect><DragMarkIfNotSelected>0</DragMarkIfNotSelected>"
                 "<userAnswer>-1</userAnswer></zxDrag>";
    }

    std::string feedbackPanel(const Rect& r, const std::string& id, int criteria, int match, int low, int high)
    {
        count("feedback");
        return "<zxFeedback><id>" + id + "</id><FeedbackCriteria>" + num(criteria) + "</FeedbackCriteria><FeedbackScoreMatch>"
               + mark(match) + "</FeedbackScoreMatch><FeedbackScoreMin>" + mark(low) + "</FeedbackScoreMin><FeedbackScoreMax>"
               + mark(high) + "</FeedbackScoreMax><FeedbackAudioAbs>0</FeedbackAudioAbs><FeedbackLeft>" + num(r.left)
               + "</FeedbackLeft><FeedbackTop>" + num(r.top) + "</FeedbackTop><FeedbackWidth>" + num(r.width)
               + "</FeedbackWidth><FeedbackHeight>" + num(r.height) + "</FeedbackHeight><FeedbackColor>" + panelColour
               + "</FeedbackColor><FeedbackStyle>2</FeedbackStyle></zxFeedback>";
    }

    void add(std::string element)
    {
        m_elements += element;
        m_elements += "\r\n";
    }
    const std::string& elements() const { return m_elements; }

private:
    void count(const std::string& kind)
    {
        const int limit = kind == "feedback" ? 20 : perKindLimit;
        if (++m_counts[kind] > limit)
            m_overCount = true;
    }

    const PageGeometry& m_geometry;
    const TextMeasurer& m_measurer;
    int m_y;
    std::string m_elements;
    std::map<std::string, int> m_counts;
    bool m_overCount = false;
};

TextStyle styleOf(const TextBlock& block)
{
    TextStyle style;
    style.points = block.heading == 1 ? 18 : block.heading == 2 ? 16 : block.heading == 3 ? 14 : bodyPoints;
    style.bold = block.bold || block.heading > 0;
    style.italic = block.italic;
    return style;
}

// The question's text and pictures, from the current y down.
void layoutRichText(PageWriter& page, const RichText& text, const PictureLookup& pictures, int left, int width)
{
    const std::vector<TextBlock>& blocks = text.blocks;
    for (std::size_t i = 0; i < blocks.size();) {
        const TextBlock& block = blocks[i];
        if (block.kind == TextBlock::Kind::Picture) {
            ++i;
            const std::optional<PlacedPicture> found = pictures ? pictures(block.picture) : std::nullopt;
            if (!found || found->width <= 0 || found->height <= 0)
                continue;
            const int maxHeight = std::max(40, (page.bottom() - 20) / 3);
            double scale = std::min({1.0, static_cast<double>(width) / found->width,
                                     static_cast<double>(maxHeight) / found->height});
            const int w = std::max(1, static_cast<int>(found->width * scale));
            const int h = std::max(1, static_cast<int>(found->height * scale));
            page.add(page.picture({left, page.y(), w, h}, found->mediaName, found->mediaName));
            page.advance(h + gap);
            continue;
        }
        // Paragraphs of one style share a text object, a blank line apart.
        const TextStyle style = styleOf(block);
        std::string joined = block.text;
        std::size_t j = i + 1;
        while (j < blocks.size() && blocks[j].kind == TextBlock::Kind::Paragraph && styleOf(blocks[j]).points == style.points
               && styleOf(blocks[j]).bold == style.bold && styleOf(blocks[j]).italic == style.italic) {
            joined += "\n\n" + blocks[j].text;
            ++j;
        }
        i = j;
        const int h = page.measure(joined, style, width);
        page.add(page.text({left, page.y(), width, h}, joined, style));
        page.advance(h + gap / 2);
    }
}

struct FeedbackPanel {
    std::string text; // plain
    int criteria = 5;
    int match = 0, low = 0, high = 0;
};

// Panels that can show together get rectangles of their own; panels that
// exclude each other (one group) share one.
struct FeedbackPlan {
    std::vector<std::vector<FeedbackPanel>> groups;
    bool dropped = false;
};

void layoutFeedback(PageWriter& page, const FeedbackPlan& plan, std::vector<std::string>& notes)
{
    const int width = page.contentWidth();
    const TextStyle style{feedbackPoints, false, false};
    int id = 0;
    page.advance(gap);
    for (const std::vector<FeedbackPanel>& group : plan.groups) {
        if (group.empty())
            continue;
        int height = 0;
        for (const FeedbackPanel& panel : group)
            height = std::max(height, page.measure(panel.text, style, width - 16));
        const int panelHeight = height + 12;
        if (page.y() + panelHeight > page.bottom()) {
            notes.push_back("feedback left out: no room on the page");
            return;
        }
        const Rect rect{margin, page.y(), width, panelHeight};
        for (const FeedbackPanel& panel : group) {
            const std::string key = "f" + num(++id);
            page.add(page.feedbackPanel(rect, key, panel.criteria, panel.match, panel.low, panel.high));
            page.add(page.text({8, 6, width - 16, height}, panel.text, style, key));
        }
        page.advance(panelHeight + gap / 2);
    }
}

void addPanel(std::vector<FeedbackPanel>& group, const RichText& text, int criteria, int match = 0, int low = 0,
              int high = 0)
{
    const std::string plain = text.plain();
    if (!plain.empty())
        group.push_back({plain, criteria, match, low, high});
}

// Correct / partly correct / incorrect panels: one group.
std::vector<FeedbackPanel> combinedFeedback(const Question& q, int best)
{
    std::vector<FeedbackPanel> group;
    addPanel(group, q.correctFeedback, 0);
    if (best > 1)
        addPanel(group, q.partialFeedback, 3, 0, 1, best - 1);
    addPanel(group, q.incorrectFeedback, 3, 0, -2000000000, 0);
    return group;
}

// The answer objects of one (sub)question worth `grade`; returns its best.
// The width of the field a short-answer or numerical (sub)question gets.
int fieldWidthFor(const Question& q) { return q.kind == QuestionKind::Numerical ? 160 : 260; }

int layoutAnswers(PageWriter& page, const Question& q, int grade, std::vector<std::string>& notes, FeedbackPlan& feedback,
                  int& numSelections, std::string& failure, int fieldLeft = margin)
{
    const int left = margin;
    const int width = page.contentWidth();
    const TextStyle body{bodyPoints, false, false};
    switch (q.kind) {
    case QuestionKind::Choice: {
        const std::vector<int> marks = choiceMarks(q, grade, notes);
        const int textLeft = left + drawn::choiceSize + 12;
        const int textWidth = width - drawn::choiceSize - 12;
        int best = 0;
        std::map<int, std::vector<std::size_t>> byScore;
        for (std::size_t i = 0; i < q.answers.size(); ++i) {
            const Answer& a = q.answers[i];
            const std::string label = a.plain.empty() ? "(picture)" : a.plain;
            const int h = page.measure(label, body, textWidth);
            page.add(page.choiceButton(left, page.y(), a.plain, marks[i], !q.singleAnswer));
            page.add(page.text({textLeft, page.y() + 3, textWidth, h}, label, body));
            page.advance(std::max(drawn::choiceSize, h + 3) + 8);
            best += std::max(0, marks[i]);
            if (!a.feedback.empty())
                byScore[marks[i]].push_back(i);
        }
        if (q.singleAnswer) {
            numSelections = 1;
            std::vector<FeedbackPanel> group;
            for (const auto& [score, indices] : byScore) {
                std::string text;
                for (const std::size_t i : indices) {
                    if (!text.empty())
                        text += "\n";
                    if (indices.size() > 1)
                        text += q.answers[i].plain + ": ";
                    text += q.answers[i].feedback.plain();
                }
                group.push_back({text, 2, score});
            }
            feedback.groups.push_back(group);
        } else if (!byScore.empty()) {
            notes.push_back("per-answer feedback of a multiple-answer question left out");
        }
        feedback.groups.push_back(combinedFeedback(q, best));
        return best;
    }
    case QuestionKind::TrueFalse: {
        const int trueMark = q.trueIsCorrect ? grade : 0;
        const int falseMark = q.trueIsCorrect ? 0 : grade;
        page.add(page.trueFalseButton(left, page.y(), q.name.empty() ? "True or false" : q.name, trueMark, falseMark));
        page.advance(drawn::trueFalseHeight + gap);
        std::vector<FeedbackPanel> group;
        addPanel(group, q.trueFeedback, 2, trueMark);
        addPanel(group, q.falseFeedback, 2, falseMark);
        if (group.size() == 2 && q.trueIsCorrect)
            group[1].criteria = 1; // false, or no answer at all
        feedback.groups.push_back(group);
        return grade;
    }
    case QuestionKind::ShortAnswer:
    case QuestionKind::Numerical: {
        std::vector<std::string> accepted;
        int restriction = 0;
        bool useRange = false;
        const int fieldWidth = fieldWidthFor(q);
        if (q.kind == QuestionKind::ShortAnswer) {
            accepted = acceptedShortAnswers(q, notes);
            if (accepted.empty()) {
                failure = "no answer that a candidate can type";
                return 0;
            }
        } else {
            NumberField field;
            if (!numberField(q, field, notes)) {
                failure = "no usable number";
                return 0;
            }
            accepted = field.answers;
            restriction = field.editRestriction;
            useRange = field.useRange;
        }
        std::string name = accepted.front();
        if (useRange)
            name = accepted[0] + ".." + accepted[1];
        page.add(page.field({fieldLeft, page.y(), fieldWidth, 24}, name, restriction, useRange, accepted, grade));
        page.advance(24 + gap);
        std::vector<FeedbackPanel> group;
        for (const Answer& a : q.answers)
            if (a.fraction >= 0.9999 && group.empty())
                addPanel(group, a.feedback, 0);
        for (const NumberAnswer& a : q.numbers)
            if (a.fraction >= 0.9999 && group.empty())
                addPanel(group, a.feedback, 0);
        feedback.groups.push_back(group);
        feedback.groups.push_back(combinedFeedback(q, grade));
        return grade;
    }
    case QuestionKind::Matching:
    case QuestionKind::Ordering: {
        // Items (the answers) on the left, prompts in the middle, targets on the right.
        std::vector<std::string> items;
        std::vector<std::string> prompts;
        std::vector<int> rightTarget; // per item: its target, -1 for a distractor
        std::vector<double> weights;  // per target: its share of the grade
        if (q.targets.empty()) {
            for (const MatchPair& p : q.pairs) {
                if (!p.promptPlain.empty())
                    prompts.push_back(p.promptPlain);
            }
            int target = 0;
            for (const MatchPair& p : q.pairs) {
                items.push_back(p.answer);
                rightTarget.push_back(p.promptPlain.empty() ? -1 : target++);
            }
            weights.assign(prompts.size(), 1.0);
        } else {
            prompts = q.targets;
            for (std::size_t i = 0; i < q.answers.size(); ++i) {
                items.push_back(q.answers[i].plain);
                const int t = i < q.itemTarget.size() ? q.itemTarget[i] : -1;
                rightTarget.push_back(t >= 0 && t < static_cast<int>(prompts.size()) ? t : -1);
                weights.push_back(rightTarget.back() >= 0 ? std::max(0.0, q.answers[i].fraction) : 0.0);
            }
        }
        if (prompts.empty() || items.empty()) {
            failure = "nothing to match";
            return 0;
        }
        // Shares per item (several items may belong on one target).
        std::vector<int> itemShare(items.size(), 0);
        {
            std::vector<double> w;
            for (std::size_t i = 0; i < items.size(); ++i)
                w.push_back(rightTarget[i] < 0 ? 0.0 : q.targets.empty() ? weights[rightTarget[i]] : weights[i]);
            itemShare = splitHundredths(grade, w);
        }
        int itemWidth = 80;
        for (const std::string& item : items)
            itemWidth = std::max(itemWidth, page.measureWidth(item, body) + 24);
        const int widest = width / 3;
        if (itemWidth > widest) {
            itemWidth = widest;
            notes.push_back("a long answer is cut on its drag item");
        }
        const int itemHeight = 30;
        const int targetLeft = left + width - itemWidth;
        const int promptLeft = left + itemWidth + 20;
        const int promptWidth = targetLeft - promptLeft - 14;
        if (promptWidth < 60) {
            failure = "the answers are too wide to match on this page";
            return 0;
        }
        const int top = page.y();
        std::vector<Rect> targets;
        int y = top;
        for (const std::string& prompt : prompts) {
            const int h = page.measure(prompt, body, promptWidth);
            const int row = std::max(itemHeight, h) + 12;
            const Rect target{targetLeft, y + (row - 12 - itemHeight) / 2, itemWidth, itemHeight};
            page.add(page.text({promptLeft, y + std::max(0, (itemHeight - h) / 2), promptWidth, h}, prompt, body, "0",
                               q.kind == QuestionKind::Ordering ? 2 : 0));
            page.add(page.shape({target.left - 2, target.top - 2, target.width + 4, target.height + 4}));
            targets.push_back(target);
            y += row;
        }
        int itemY = top;
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::string list;
            for (std::size_t t = 0; t < targets.size(); ++t) {
                const int m = rightTarget[i] == static_cast<int>(t) ? itemShare[i] : 0;
                list += num(static_cast<int>(t)) + "," + targetLabel(tagSafeText(prompts[t])) + "," + mark(m) + ","
                        + num(targets[t].left) + "," + num(targets[t].top) + "," + num(targets[t].width) + ","
                        + num(targets[t].height) + ";";
            }
            page.add(page.drag({left, itemY, itemWidth, itemHeight}, items[i], list));
            itemY += itemHeight + 12;
        }
        if (targets.size() > 100) {
            failure = "more than 100 targets";
            return 0;
        }
        page.advance(std::max(y, itemY) - top);
        feedback.groups.push_back(combinedFeedback(q, grade));
        int best = 0;
        for (std::size_t i = 0; i < items.size(); ++i)
            best += itemShare[i];
        return best;
    }
    default:
        return 0;
    }
}

std::string pageHeader(const PageGeometry& geometry, int numSelections, const std::string& resultsText,
                       const std::string& category)
{
    std::string categories;
    if (!category.empty())
        categories = "<cat>" + tagSafeText(category) + "</cat>";
    const std::string results = resultsText.empty() ? "-empty45646-" : tagSafeText(resultsText);
    return "<windowSize>" + num(geometry.windowSize) + "</windowSize> <bgColour>clWhite</bgColour> <numSelections>"
           + num(numSelections) + "</numSelections> <ShowAllFeedbackMatches>1</ShowAllFeedbackMatches> "
           "<questionAudioAbs>0</questionAudioAbs> <exeBase></exeBase> <tickFileAbs>" + drawn::tick
           + "</tickFileAbs> <crossFileAbs>" + drawn::cross + "</crossFileAbs> <ResultsText>" + results
           + "</ResultsText> <Categories>" + categories + "</Categories>\r\n"
           "<zxBackground><bgFilePathAbs>0</bgFilePathAbs><bgFilePathRel></bgFilePathRel><bgPosition>0</bgPosition></zxBackground>\r\n";
}

} // namespace

std::optional<PageGeometry> pageGeometryFor(const std::string& size)
{
    if (size == "640x480")
        return PageGeometry{640, 480 - 27, 0};
    if (size == "800x600")
        return PageGeometry{800, 600 - 27, 1};
    if (size == "1024x768")
        return PageGeometry{1024, 768 - 27, 2};
    return std::nullopt;
}

PageResult buildQuestionPage(const Question& question, const PageGeometry& geometry, const TextMeasurer& measurer,
                             const PictureLookup& pictures)
{
    PageResult result;
    result.notes = question.approximations;
    if (question.kind == QuestionKind::Unsupported) {
        result.skipReason = question.skipReason.empty() ? "not supported" : question.skipReason;
        return result;
    }
    PageWriter page(geometry, measurer);
    const int width = page.contentWidth();
    int numSelections = 0;
    FeedbackPlan feedback;
    std::string failure;
    if (question.kind == QuestionKind::Cloze) {
        layoutRichText(page, question.text, pictures, margin, width);
        std::vector<double> weights;
        for (const Question& g : question.gaps)
            weights.push_back(std::max(0.0001, g.grade / 100.0));
        const std::vector<int> grades = splitHundredths(question.grade, weights);
        // One list of choices keeps its one-choice limit; the limit is the
        // page's, so with several lists each may take more than one choice.
        const auto lists = std::count_if(question.gaps.begin(), question.gaps.end(), [](const Question& g) {
            return g.kind == QuestionKind::Choice && g.singleAnswer;
        });
        if (lists == 1)
            numSelections = 1;
        else if (lists > 1)
            result.notes.push_back("several choice lists: more than one choice per list can be selected");
        for (const ClozePiece& piece : question.pieces) {
            const bool known = piece.gap >= 0 && piece.gap < static_cast<int>(question.gaps.size());
            const Question* gapQuestion = known ? &question.gaps[piece.gap] : nullptr;
            const bool isField = gapQuestion
                                 && (gapQuestion->kind == QuestionKind::ShortAnswer || gapQuestion->kind == QuestionKind::Numerical);
            const TextStyle body{bodyPoints, false, false};
            int fieldLeft = margin;
            if (!piece.text.empty()) {
                // A field follows its text on the same line when both fit.
                const int textWidth = page.measureWidth(piece.text, body) + 4;
                const int lineHeight = page.measure("Xg", body, width);
                if (isField && textWidth + 10 + fieldWidthFor(*gapQuestion) <= width
                    && page.measure(piece.text, body, textWidth) <= lineHeight) {
                    page.add(page.text({margin, page.y() + 3, textWidth, lineHeight}, piece.text, body));
                    fieldLeft = margin + textWidth + 10;
                } else {
                    const int h = page.measure(piece.text, body, width);
                    page.add(page.text({margin, page.y(), width, h}, piece.text, body));
                    page.advance(h + 4);
                }
            }
            if (!gapQuestion)
                continue;
            FeedbackPlan ignored;
            int ignoredSelections = 0;
            result.best += layoutAnswers(page, *gapQuestion, grades[piece.gap], result.notes, ignored, ignoredSelections,
                                         failure, fieldLeft);
            if (!failure.empty()) {
                result.skipReason = "a gap: " + failure;
                return result;
            }
        }
        if (!question.gapTail.empty()) {
            const TextStyle body{bodyPoints, false, false};
            const int h = page.measure(question.gapTail, body, width);
            page.add(page.text({margin, page.y(), width, h}, question.gapTail, body));
            page.advance(h + 4);
        }
        feedback.groups.push_back(combinedFeedback(question, result.best));
    } else {
        layoutRichText(page, question.text, pictures, margin, width);
        page.advance(gap / 2);
        result.best = layoutAnswers(page, question, question.grade, result.notes, feedback, numSelections, failure);
        if (!failure.empty()) {
            result.skipReason = failure;
            return result;
        }
    }
    {
        std::vector<FeedbackPanel> general;
        addPanel(general, question.generalFeedback, 5);
        feedback.groups.push_back(general);
    }
    if (page.overflowed()) {
        result.skipReason = "does not fit a " + num(geometry.width) + "x" + num(geometry.height + 27) + " page";
        return result;
    }
    layoutFeedback(page, feedback, result.notes);
    if (question.kind != QuestionKind::Description && question.kind != QuestionKind::Cloze && result.best != question.grade
        && question.grade > 0)
        result.notes.push_back("best score " + mark(result.best) + " instead of " + mark(question.grade));
    result.record = pageHeader(geometry, numSelections, question.name, question.category) + page.elements();
    result.built = true;
    return result;
}

std::string buildTitlePage(const std::string& title, const PageGeometry& geometry, const TextMeasurer& measurer)
{
    PageWriter page(geometry, measurer);
    const int width = page.contentWidth();
    const TextStyle big{20, true, false};
    page.advance(60);
    const int h = std::min(page.measure(title, big, width), geometry.height / 2);
    page.add(page.text({margin, page.y(), width, h}, title, big, "0", 1, "clNavy"));
    page.advance(h + 30);
    const TextStyle body{bodyPoints, false, false};
    const std::string hint = "Press Start, or move on with the slider, to begin the test.";
    const int hh = page.measure(hint, body, width);
    page.add(page.text({margin, page.y(), width, hh}, hint, body, "0", 1));
    page.advance(hh + 20);
    page.add(page.picture({(geometry.width - drawn::startWidth) / 2, page.y(), drawn::startWidth, drawn::startHeight},
                          drawn::start, "starttest", 5));
    return pageHeader(geometry, 0, "", "") + page.elements();
}

} // namespace zx::import
