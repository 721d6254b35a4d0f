#include "testrun/page_builder.h"

#include "app/core/reading_order.h"
#include "objects/qt_text.h"
#include "objects/image_control.h"
#include "objects/zx_background.h"
#include "objects/zx_button.h"
#include "objects/zx_drag.h"
#include "objects/zx_feedback.h"
#include "objects/zx_field.h"
#include "objects/zx_object.h"
#include "objects/zx_picture.h"
#include "objects/zx_shape.h"
#include "objects/zx_text.h"
#include "objects/zx_video.h"
#include "tagtext/cp1252.h"
#include "tagtext/tagged_text.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include <filesystem>
#include <vector>

namespace zx {

namespace {

// Reads the elements of one kind from `page`, removing each one read.  The
// loop ends at the first value shorter than `endLength`, or when the table
// is full; values of at least `creationLength` characters make an object in
// the first free slot.
template <typename T, std::size_t N, typename Make>
int readKind(std::string& page, const char* key, std::size_t endLength, std::size_t creationLength,
             std::array<std::unique_ptr<T>, N>& table, Make make, std::vector<std::string>* passedOver = nullptr)
{
    int consumed = 0;
    for (;;) {
        std::size_t slot = 0;
        while (slot < N && table[slot])
            ++slot;
        if (slot == N)
            return consumed;
        std::string value = getTag(page, key);
        if (value.size() < endLength)
            return consumed;
        page = deleteTag(page, key);
        ++consumed;
        if (value.size() >= creationLength)
            table[slot] = make(value);
        if (!table[slot] && passedOver)
            passedOver->push_back(std::move(value));
    }
}

template <typename T, std::size_t N>
void releaseAll(std::array<std::unique_ptr<T>, N>& table)
{
    for (auto& object : table) {
        if (object) {
            object->releaseControls();
            object.reset();
        }
    }
}

// Leaving a page removes its answer elements of `key` from the front of the
// page text: up to 60, stopping at the first value shorter than 5
// characters, and never fewer than the `consumed` ones the build read (their
// records or values are written back).  Returns the values removed beyond
// those: the build never read them, so they made no object.
std::vector<std::string> removeAnswerElements(std::string& text, const char* key, int consumed)
{
    constexpr int maxRemoved = 60;
    constexpr std::size_t endLength = 5;
    std::vector<std::string> unread;
    for (int k = 0;; ++k) {
        if (k >= consumed) {
            if (k >= maxRemoved)
                break;
            std::string value = getTag(text, key);
            if (value.size() < endLength)
                break;
            unread.push_back(std::move(value));
        }
        text = deleteTag(text, key);
    }
    return unread;
}

void appendElements(std::string& text, const char* key, const std::vector<std::string>& values)
{
    for (const std::string& value : values)
        text += makeElement(key, value) + "\r\n";
}

template <typename T, std::size_t N>
int countOf(const std::array<std::unique_ptr<T>, N>& table)
{
    int n = 0;
    for (const auto& object : table)
        n += object ? 1 : 0;
    return n;
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

} // namespace

PageBuilder::PageBuilder(QWidget* window, PageContext context)
    : m_window(window)
    , m_context(std::move(context))
{
    // Feedback panels reveal and hide the objects of this page.
    m_context.revealFeedback = [this](const std::string& code, QWidget* parent) { revealFeedback(code, parent); };
    m_context.hideFeedback = [this](const std::string& code) { hideFeedback(code); };
}

PageBuilder::~PageBuilder() { leavePage(); }

void PageBuilder::buildPage(const std::string& pageText, TestState state)
{
    std::string page = pageText;
    m_pageText = pageText;
    m_state = state;
    m_selectionQueue.clear();
    m_placementQueue.clear();
    // Pre-test pages take no answers.
    const bool answers = state != TestState::Ready;
    const QSize area = m_window ? m_window->size() : QSize();

    // 1. The background, painted on the window below everything and laid
    // out on the window's own size: the page area, above the control panel.
    if (!m_background)
        m_background = std::make_unique<zxBackground>(m_window, m_context);
    const std::string backgroundRecord = getTag(page, "zxBackground");
    if (!backgroundRecord.empty())
        m_background->load(backgroundRecord, area.height(), area.width());

    // 2. Buttons (a button without a mark for being selected is no
    // button), pictures, shapes and texts.
    m_consumed = {};
    m_passedOver = {};
    if (answers) {
        m_consumed.buttons = readKind(
            page, "zxButton", 30, 30, m_buttons,
            [&](std::string r) -> std::unique_ptr<zxButton> {
                if (getTag(r, "buttonMarkIfSelected").empty())
                    return nullptr;
                return std::make_unique<zxButton>(m_window, std::move(r), m_context);
            },
            &m_passedOver.buttons);
    }
    readKind(page, "zxPicture", 5, 20, m_pictures,
             [&](std::string r) { return std::make_unique<zxPicture>(m_window, std::move(r), m_context); });
    readKind(page, "zxShape", 5, 20, m_shapes,
             [&](std::string r) { return std::make_unique<zxShape>(m_window, std::move(r), m_context); });
    readKind(page, "zxText", 5, 20, m_texts,
             [&](std::string r) { return std::make_unique<zxText>(m_window, std::move(r), m_context); });

    // 3. Layers 9 down to 0: what is shown later lies on top, so layer 0 is
    // the top layer and within a layer texts lie above buttons, buttons
    // above shapes, shapes above pictures.
    const std::string pageId = "0";
    for (int layer = 9; layer >= 0; --layer) {
        for (auto& picture : m_pictures)
            if (picture)
                picture->showFor(layer, m_window, pageId);
        for (auto& shape : m_shapes)
            if (shape)
                shape->showFor(layer, m_window, pageId);
        for (int i = 0; i < buttonCapacity; ++i)
            if (zxButton* button = m_buttons[static_cast<std::size_t>(i)].get())
                button->buildVisuals(layer, state, [this, i] { onSelected(i); }, [this, i] { onDeselected(i); });
        for (auto& text : m_texts)
            if (text)
                text->showFor(layer, m_window, pageId);
    }

    // 4. Fields, then draggable items, above every layered object.
    if (answers) {
        m_consumed.fields = readKind(
            page, "zxField", 5, 20, m_fields,
            [&](std::string r) { return std::make_unique<zxField>(m_window, std::move(r), m_context, state); },
            &m_passedOver.fields);
        m_consumed.drags = readKind(
            page, "zxDrag", 5, 30, m_drags,
            [&](std::string r) { return std::make_unique<zxDrag>(m_window, std::move(r), m_context); },
            &m_passedOver.drags);
        for (int i = 0; i < dragCapacity; ++i) {
            if (zxDrag* drag = m_drags[static_cast<std::size_t>(i)].get()) {
                zxDrag::Handlers handlers;
                handlers.onPlaced = [this, i] { onPlaced(i); };
                handlers.onRemoved = [this, i] { onRemoved(i); };
                handlers.isAreaTaken = [this, i](const ItemRect& area) { return isAreaTaken(i, area); };
                drag->buildVisuals(state, std::move(handlers));
            }
        }
    }

    // 5. Videos, on the page itself (the others wait for their panel).
    readKind(page, "zxVideo", 5, 20, m_videos,
             [&](std::string r) { return std::make_unique<zxVideo>(m_window, std::move(r), m_context); });
    for (auto& video : m_videos)
        if (video)
            video->showFor(m_window, pageId);

    // 6. Feedback panels: shown only when marking chooses them.
    readKind(page, "zxFeedback", 5, 20, m_feedbacks,
             [&](std::string r) { return std::make_unique<zxFeedback>(m_window, std::move(r), m_context); });
    prepareKeyboardAndReaders();
    if (m_window)
        m_window->update();
}

QRect PageBuilder::onPage(const QWidget* control) const
{
    if (!m_window || !control || !m_window->isAncestorOf(control))
        return {};
    return QRect(control->mapTo(m_window, QPoint(0, 0)), control->size());
}

void PageBuilder::prepareKeyboardAndReaders()
{
    m_focusOrder.clear();
    if (!m_window)
        return;
    auto boxOf = [](const QRect& r) { return PageBox{r.x(), r.y(), r.width(), r.height()}; };

    // The page's own texts name the answer objects beside them.
    std::vector<PageBox> textBoxes;
    std::vector<std::string> textNames;
    for (const auto& text : m_texts) {
        if (text && text->label() && text->feedbackId() == "0" && !text->label()->text().trimmed().isEmpty()) {
            textBoxes.push_back(boxOf(onPage(text->label())));
            textNames.push_back(qStringToCp1252(text->label()->text().simplified()));
        }
    }
    auto labelFor = [&](const QWidget* control, LabelSide side) {
        const auto at = labelOf(boxOf(onPage(control)), textBoxes, side);
        return at ? textNames[*at] : std::string();
    };

    // Every unit that takes the focus, with the place it is read at.
    struct Unit {
        PageBox box;
        std::vector<QWidget*> controls;
    };
    std::vector<Unit> units;
    auto add = [&](QWidget* control) {
        if (control)
            units.push_back({boxOf(onPage(control)), {control}});
    };
    for (auto& field : m_fields) {
        if (field && field->box()) {
            field->setLabel(labelFor(field->box(), LabelSide::Left));
            add(field->box());
        }
    }
    for (auto& button : m_buttons) {
        if (button && button->picture(1)) {
            button->setLabel(labelFor(button->picture(1), LabelSide::Right));
            add(button->picture(1));
        }
    }
    for (auto& drag : m_drags)
        if (drag)
            add(drag->visual());
    for (auto& picture : m_pictures)
        if (picture && picture->normalImage() && picture->startsTheTest())
            add(picture->normalImage());
    for (auto& video : m_videos) {
        if (!video || !video->panel())
            continue;
        Unit unit{boxOf(onPage(video->panel())), {}};
        for (QWidget* control : video->panel()->findChildren<QWidget*>())
            if (control->focusPolicy() & Qt::TabFocus)
                unit.controls.push_back(control);
        if (!unit.controls.empty())
            units.push_back(std::move(unit));
    }

    std::vector<PageBox> boxes;
    for (const Unit& unit : units)
        boxes.push_back(unit.box);
    if (!m_ring)
        m_ring.reset(new FocusRing(m_window));
    for (const std::size_t i : readingOrder(boxes)) {
        for (QWidget* control : units[i].controls) {
            m_focusOrder.emplace_back(control);
            m_ring->watch(control);
        }
    }
    m_ring->raise();
}

std::vector<QWidget*> PageBuilder::focusOrder() const
{
    std::vector<QWidget*> controls;
    for (const QPointer<QWidget>& control : m_focusOrder)
        if (control)
            controls.push_back(control.data());
    return controls;
}

QStringList PageBuilder::readingTexts() const
{
    std::vector<PageBox> boxes;
    QStringList texts;
    for (const auto& text : m_texts) {
        const QLabel* label = text ? text->label() : nullptr;
        if (!label || !m_window || !label->isVisibleTo(m_window))
            continue;
        const QString shown = label->text().simplified();
        if (shown.isEmpty())
            continue;
        const QRect r = onPage(label);
        boxes.push_back(PageBox{r.x(), r.y(), r.width(), r.height()});
        texts << shown;
    }
    QStringList ordered;
    for (const std::size_t i : readingOrder(boxes))
        ordered << texts[static_cast<qsizetype>(i)];
    return ordered;
}

void PageBuilder::leavePage()
{
    // The queues name slots of this page only.
    m_selectionQueue.clear();
    m_placementQueue.clear();
    m_background.reset();
    releaseAll(m_fields);
    releaseAll(m_texts);
    releaseAll(m_pictures);
    releaseAll(m_feedbacks);
    releaseAll(m_shapes);
    releaseAll(m_videos);
    releaseAll(m_buttons);
    releaseAll(m_drags);
    m_tick.reset();
    m_cross.reset();
    m_focusOrder.clear();
    if (m_window)
        m_window->update();
}

void PageBuilder::loadTickAndCross(const std::string& pageText)
{
    if (!m_tick) {
        m_tick.reset(new ImageControl(m_window));
        m_tick->hide();
    }
    if (!m_cross) {
        m_cross.reset(new ImageControl(m_window));
        m_cross->hide();
    }
    const std::string exeBase = getTag(pageText, "exeBase");
    auto pick = [&](const char* key, const char* fallback) {
        std::string path = m_context.resolve(getTag(pageText, key));
        if (!fileExists(path))
            path = m_context.resolve(exeBase + fallback);
        return path;
    };
    zxObject::loadPictureFile(*m_tick, pick("tickFileAbs", "tick.gif"));
    zxObject::loadPictureFile(*m_cross, pick("crossFileAbs", "cross.gif"));
}

void PageBuilder::revealFeedback(const std::string& code, QWidget* parent)
{
    for (int layer = 9; layer >= 0; --layer) {
        for (auto& picture : m_pictures)
            if (picture)
                picture->showFor(layer, parent, code);
        for (auto& shape : m_shapes)
            if (shape)
                shape->showFor(layer, parent, code);
        for (auto& text : m_texts)
            if (text)
                text->showFor(layer, parent, code);
    }
    for (auto& video : m_videos)
        if (video)
            video->showFor(parent, code);
}

void PageBuilder::hideFeedback(const std::string& code)
{
    for (auto& picture : m_pictures)
        if (picture && picture->feedbackId() == code)
            picture->releaseControls();
    for (auto& shape : m_shapes)
        if (shape && shape->feedbackId() == code)
            shape->releaseControls();
    for (auto& text : m_texts)
        if (text && text->feedbackId() == code)
            text->releaseControls();
    for (auto& video : m_videos)
        if (video && video->feedbackId() == code)
            video->releaseControls();
}

ScoreTally PageBuilder::markPage(std::string_view bankSettings)
{
    ScoreTally totals;
    for (auto& field : m_fields)
        if (field)
            field->markAnswer(m_tick.get(), m_cross.get(), totals);
    for (auto& button : m_buttons)
        if (button)
            button->markAnswer(m_tick.get(), m_cross.get(), totals);
    for (auto& drag : m_drags)
        if (drag)
            drag->markAnswer(m_tick.get(), m_cross.get(), totals);
    selectFeedback(m_feedbacks, bankSettings, m_pageText, totals.score, totals.worst, totals.best);
    // The ring stays above the ticks and crosses.
    if (m_ring)
        m_ring->raise();
    return totals;
}

void PageBuilder::showAnswers()
{
    for (auto& button : m_buttons)
        if (button)
            button->showAnswer();
    for (auto& field : m_fields)
        if (field)
            field->showAnswer();
    m_placementQueue.clear();
    for (auto& drag : m_drags) {
        if (!drag)
            continue;
        const Position home = drag->home();
        if (!drag->moveTo(home.x, home.y))
            return; // the page went away during the glide
    }
    for (auto& drag : m_drags)
        if (drag)
            drag->showAnswer();
}

void PageBuilder::restoreAnswers()
{
    for (auto& button : m_buttons)
        if (button)
            button->applyState();
    for (auto& field : m_fields)
        if (field)
            field->restoreAnswer();
    m_placementQueue.clear();
    for (auto& drag : m_drags)
        if (drag)
            drag->restoreAnswer();
}

void PageBuilder::pointerOverWindow()
{
    for (auto& picture : m_pictures)
        if (picture)
            picture->hideOverImage();
    for (auto& button : m_buttons)
        if (button)
            button->hideHover();
    for (auto& drag : m_drags)
        if (drag)
            drag->hideHover();
}

std::string PageBuilder::pageTextWithAnswers(const std::string& pageText) const
{
    std::string text = pageText;
    // The answer objects write their records in place of the elements they
    // were built from.  Every removed element that made no object goes back
    // as it was, after the objects' records, where it cannot end the next
    // build before them: leaving a page never loses an element, and a
    // revisited page shows the same objects.
    const std::vector<std::string> unreadButtons = removeAnswerElements(text, "zxButton", m_consumed.buttons);
    const std::vector<std::string> unreadFields = removeAnswerElements(text, "zxField", m_consumed.fields);
    const std::vector<std::string> unreadDrags = removeAnswerElements(text, "zxDrag", m_consumed.drags);
    for (const auto& field : m_fields)
        if (field)
            text += field->writeAnswer();
    appendElements(text, "zxField", m_passedOver.fields);
    appendElements(text, "zxField", unreadFields);
    for (const auto& button : m_buttons)
        if (button)
            text += button->writeAnswer();
    appendElements(text, "zxButton", m_passedOver.buttons);
    appendElements(text, "zxButton", unreadButtons);
    for (const auto& drag : m_drags)
        if (drag)
            text += drag->writeAnswer();
    appendElements(text, "zxDrag", m_passedOver.drags);
    appendElements(text, "zxDrag", unreadDrags);
    return text;
}

bool PageBuilder::isAreaTaken(int dragSlot, const ItemRect& area) const
{
    std::vector<ItemRect> others;
    for (int i = 0; i < dragCapacity; ++i) {
        const zxDrag* drag = m_drags[static_cast<std::size_t>(i)].get();
        if (i != dragSlot && drag && drag->visual())
            others.push_back(drag->rect());
    }
    return zx::isAreaTaken(area, others);
}

void PageBuilder::onSelected(int buttonSlot)
{
    const auto evicted = m_selectionQueue.select(buttonSlot, SelectionQueue::limitOfPage(m_pageText));
    if (evicted)
        if (zxButton* oldest = m_buttons[static_cast<std::size_t>(*evicted)].get())
            oldest->clearSelection();
}

void PageBuilder::onDeselected(int buttonSlot) { m_selectionQueue.deselect(buttonSlot); }

void PageBuilder::onPlaced(int dragSlot)
{
    const auto evicted = m_placementQueue.select(dragSlot, SelectionQueue::limitOfPage(m_pageText));
    if (evicted)
        if (zxDrag* oldest = m_drags[static_cast<std::size_t>(*evicted)].get())
            oldest->clearPlacement();
}

void PageBuilder::onRemoved(int dragSlot) { m_placementQueue.deselect(dragSlot); }

void PageBuilder::paintBackground(QPainter& painter) const
{
    if (m_background)
        m_background->paint(painter);
}

bool PageBuilder::hasStartTestPicture() const
{
    for (const auto& picture : m_pictures)
        if (picture && lowerCp1252(filterPlainText(getTag(picture->record(), "PictureName"))) == "starttest")
            return true;
    return false;
}

int PageBuilder::videoCount() const { return countOf(m_videos); }
int PageBuilder::feedbackCount() const { return countOf(m_feedbacks); }
int PageBuilder::textCount() const { return countOf(m_texts); }
int PageBuilder::pictureCount() const { return countOf(m_pictures); }
int PageBuilder::shapeCount() const { return countOf(m_shapes); }
int PageBuilder::fieldCount() const { return countOf(m_fields); }
int PageBuilder::buttonCount() const { return countOf(m_buttons); }
int PageBuilder::dragCount() const { return countOf(m_drags); }

} // namespace zx
