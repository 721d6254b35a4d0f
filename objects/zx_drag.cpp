#include "objects/zx_drag.h"

#include "objects/answer_keys.h"
#include "objects/answer_visuals.h"
#include "objects/core/answer_marks.h"
#include "objects/core/score_tally.h"
#include "objects/picture_loader.h"
#include "objects/qt_text.h"
#include "tagtext/tagged_text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <vector>

namespace zx {

zxDrag::zxDrag(QWidget* parentWindow, std::string record, PageContext context)
    : zxObject(parentWindow, std::move(record), std::move(context))
{
}

zxDrag::~zxDrag()
{
    releaseControls();
}

QWidget* zxDrag::visual() const
{
    if (m_picture)
        return m_picture.data();
    return m_button.data();
}

ItemRect zxDrag::rect() const
{
    const QWidget* v = visual();
    if (!v)
        return {};
    return {v->x(), v->y(), v->width(), v->height()};
}

Position zxDrag::home() const { return {getTagInt(m_record, "DragLeft", 0), getTagInt(m_record, "DragTop", 0)}; }

bool zxDrag::mayOverlap() const { return itemsMayOverlap(m_record); }

int zxDrag::notSelectedMark() const { return parseHundredths(getTag(m_record, "DragMarkIfNotSelected")); }

void zxDrag::buildVisuals(TestState state, Handlers handlers)
{
    buildVisuals(state, std::move(handlers), m_context.resolveBankFile);
}

void zxDrag::buildVisuals(TestState state, Handlers handlers, Resolver resolveBankFile)
{
    m_handlers = std::move(handlers);
    removeMark();
    auto resolve = [&](const std::string& name) {
        return resolveBankFile ? resolveBankFile(name) : m_context.resolve(name);
    };

    if (m_parentWindow) {
        if (getTag(m_record, "dragFilePathAbs") != "0") {
            const std::string item = resolve(getTag(m_record, "dragFilePathAbs"));
            const std::string over = resolve(getTag(m_record, "dragOverFilePathAbs"));
            const std::string down = resolve(getTag(m_record, "dragDownFilePathAbs"));
            if (pictureFileExists(item))
                placeImage(m_picture, item, state);
            if (pictureFileExists(over))
                placeImage(m_over, over, state);
            if (pictureFileExists(down))
                placeImage(m_dragging, down, state);
            if (m_over)
                m_over->hide();
            if (m_dragging)
                m_dragging->hide();
        } else {
            if (!m_button) {
                m_button = new DragButton(m_parentWindow.data());
                attachPointer(m_button, state, m_button->onMouseMove, m_button->onMouseDown, m_button->onMouseUp);
            } else {
                adoptControl(m_button);
            }
            m_button->setGeometry(getTagInt(m_record, "DragLeft", 0), getTagInt(m_record, "DragTop", 0),
                                  getTagInt(m_record, "DragWidth", 0), getTagInt(m_record, "DragHeight", 0));
            m_button->setText(cp1252ToQString(getTag(m_record, "DragName")));
            m_button->show();
            m_button->raise();
        }
    }

    const bool final = answersAreFinal(state);
    if (m_picture)
        attachKeyboard(m_picture.data(), final);
    else if (m_button)
        attachKeyboard(m_button.data(), final);

    m_targets = DragTargets::fromRecord(m_record);
    m_placed = storedPlacement(m_record, m_targets);
    restoreAnswer();
}

template <typename Control>
void zxDrag::attachKeyboard(Control* control, bool final)
{
    // A picture takes the focus from the keyboard only; the button keeps
    // its own policy.
    if (control == static_cast<QWidget*>(m_picture.data()))
        control->setFocusPolicy(Qt::TabFocus);
    control->describe = [this, final] { return accessibleInfo(final); };
    control->onKeyDown = [this, final](QKeyEvent& event) { return keyDown(event, final); };
    control->onFocusOut = [this] { keyLetGo(); };
}

void zxDrag::placeImage(QPointer<ImageControl>& image, const std::string& path, TestState state)
{
    if (!image) {
        image = new ImageControl(m_parentWindow.data());
        zx::loadPictureFile(*image, path);
        attachPointer(image, state, image->onMouseMove, image->onMouseDown, image->onMouseUp);
    } else {
        adoptControl(image);
    }
    ImageControl& control = *image;
    const QSize size = control.naturalSize();
    control.setGeometry(getTagInt(m_record, "DragLeft", 0), getTagInt(m_record, "DragTop", 0), size.width(),
                        size.height());
    m_record = setTag(m_record, "DragWidth", std::to_string(size.width()));
    m_record = setTag(m_record, "DragHeight", std::to_string(size.height()));
    control.setCenter(false);
    control.setStretch(false);
    control.show();
    control.raise();
}

void zxDrag::attachPointer(QWidget* control, TestState state, std::function<void(QMouseEvent&)>& move,
                           std::function<void(QMouseEvent&)>& down, std::function<void(QMouseEvent&)>& up)
{
    if (answersAreFinal(state)) {
        down = [this](QMouseEvent& event) {
            if (event.button() == Qt::LeftButton)
                refuseAnswerChange(m_context);
        };
        return;
    }
    control->setCursor(Qt::PointingHandCursor);
    // Positions are taken on the page, so the item, its pointer-over and
    // its dragging picture all move it alike.
    QPointer<QWidget> source(control);
    auto onPage = [source](const QMouseEvent& event) {
        return source ? source->mapToParent(event.position().toPoint()) : QPoint();
    };
    move = [this, onPage](QMouseEvent& event) { pointerMove(onPage(event)); };
    down = [this, onPage](QMouseEvent& event) {
        if (event.button() == Qt::LeftButton)
            pointerDown(onPage(event));
    };
    up = [this](QMouseEvent& event) {
        if (event.button() == Qt::LeftButton)
            pointerUp();
    };
}

void zxDrag::pointerDown(QPoint at)
{
    QWidget* v = visual();
    if (!v)
        return;
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::ClosedHandCursor);
        m_cursorSet = true;
    }
    beginDrag(at - v->pos());
}

void zxDrag::beginDrag(QPoint grab)
{
    QWidget* v = visual();
    v->raise();
    if (m_picture && m_over)
        m_over->raise();
    if (m_picture && m_dragging) {
        m_dragging->show();
        m_dragging->raise();
    }
    m_draggingNow = true;
    m_grab = grab;
    removeMark();
}

void zxDrag::pointerMove(QPoint at)
{
    if (m_over)
        m_over->show();
    if (m_draggingNow && visual())
        moveControls(at - m_grab);
}

void zxDrag::pointerUp()
{
    restoreCursor();
    m_keyHeld = false;
    if (m_button)
        m_button->setDown(false);
    if (m_dragging)
        m_dragging->hide();
    if (!m_draggingNow)
        return;
    m_draggingNow = false;

    settle(decideDrop(m_targets, rect(), home(), mayOverlap(), m_handlers.isAreaTaken));
}

bool zxDrag::settle(const DropOutcome& outcome)
{
    if (!moveTo(outcome.destination.x, outcome.destination.y))
        return false;
    if (outcome.placedIndex < 0) {
        removed();
        m_placed = -1;
    } else {
        placed();
        m_currentMark = m_targets.at(outcome.placedIndex).mark();
        m_placed = outcome.placedIndex;
    }
    m_context.noteAnswerChanged();
    return true;
}

bool zxDrag::keyDown(const QKeyEvent& event, bool final)
{
    const AnswerKey key = answerKeyOf(AnswerObject::Item, event, m_keyHeld);
    if (key == AnswerKey::None)
        return false;
    const bool step = key == AnswerKey::Next || key == AnswerKey::Previous;
    if (final) {
        if (!event.isAutoRepeat())
            refuseAnswerChange(m_context);
        return true;
    }
    if (!visual())
        return false;
    if (event.isAutoRepeat() && !step)
        return true;
    const std::weak_ptr<int> life = m_life;
    switch (key) {
    case AnswerKey::Toggle:
    case AnswerKey::Drop:
        if (!m_keyHeld) {
            if (key == AnswerKey::Drop)
                return false;
            keyPickUp();
        } else {
            // Put down where it is shown, as the pointer released there.
            pointerUp();
        }
        break;
    case AnswerKey::Next:
    case AnswerKey::Previous:
        if (!m_keyHeld)
            return false;
        keyStep(key == AnswerKey::Next ? 1 : -1);
        break;
    case AnswerKey::Cancel:
        if (!keySendHome())
            return false;
        break;
    default:
        return false;
    }
    if (!life.expired())
        announceAccessibleChange(visual());
    return true;
}

void zxDrag::keyPickUp()
{
    QWidget* v = visual();
    m_keyFrom = v->pos();
    m_keyStop = m_placed;
    m_keyHeld = true;
    if (m_button)
        m_button->setDown(true);
    beginDrag(QPoint());
}

void zxDrag::keyStep(int direction)
{
    std::vector<int> defined;
    for (int i = 0; i < DragTargets::slotCount; ++i)
        if (m_targets.isDefined(i))
            defined.push_back(i);
    if (defined.empty())
        return;
    const int count = static_cast<int>(defined.size());
    const auto at = std::find(defined.begin(), defined.end(), m_keyStop);
    int next = 0;
    if (at == defined.end())
        next = direction > 0 ? 0 : count - 1;
    else
        next = (static_cast<int>(at - defined.begin()) + direction + count) % count;
    m_keyStop = defined[static_cast<std::size_t>(next)];
    const ItemRect r = rect();
    const Position centre = centreOnTarget(m_targets.at(m_keyStop), r.width, r.height);
    moveControls(QPoint(centre.x, centre.y));
}

bool zxDrag::keySendHome()
{
    const Position h = home();
    const ItemRect r = rect();
    if (!m_keyHeld && m_placed < 0 && r.left == h.x && r.top == h.y)
        return false;
    endKeyHold();
    removeMark();
    // As a release away from every target.
    settle(DropOutcome{-1, h});
    return true;
}

void zxDrag::endKeyHold()
{
    m_keyHeld = false;
    m_draggingNow = false;
    if (m_button)
        m_button->setDown(false);
    if (m_dragging)
        m_dragging->hide();
}

void zxDrag::keyLetGo()
{
    if (!m_keyHeld)
        return;
    endKeyHold();
    moveControls(m_keyFrom);
    announceAccessibleChange(visual());
}

std::string zxDrag::accessibleName() const
{
    const std::string name = getTag(m_record, "DragName");
    if (!name.empty() && name != "-empty45646-")
        return name;
    return m_context.message(37);
}

std::string zxDrag::targetName(int index) const
{
    if (!m_targets.isDefined(index))
        return {};
    const std::string& name = m_targets.at(index).name;
    return name.empty() || name == "-empty45646-" ? std::to_string(index + 1) : name;
}

AccessibleInfo zxDrag::accessibleInfo(bool final) const
{
    AccessibleInfo info;
    info.role = QAccessible::Button;
    info.name = cp1252ToQString(accessibleName());
    info.pressed = m_keyHeld;
    info.readOnly = final;
    if (m_keyHeld && m_keyStop >= 0)
        info.value = cp1252ToQString(targetName(m_keyStop));
    else if (m_placed >= 0)
        info.value = cp1252ToQString(m_context.message(38) + " " + targetName(m_placed));
    else
        info.value = cp1252ToQString(m_context.message(26));
    // The place is part of the name, which screen readers speak again when
    // it changes (each target a held item is shown on, too).
    info.name += QStringLiteral(", ") + info.value;
    info.description = cp1252ToQString(m_context.message(37));
    return info;
}

void zxDrag::moveControls(QPoint to)
{
    for (QWidget* control : {static_cast<QWidget*>(m_picture.data()), static_cast<QWidget*>(m_button.data()),
                             static_cast<QWidget*>(m_over.data()), static_cast<QWidget*>(m_dragging.data())})
        if (control)
            control->move(to);
}

bool zxDrag::moveTo(int x, int y)
{
    QPointer<QWidget> v(visual());
    if (!v)
        return true;
    if (m_over)
        m_over->hide();
    if (m_dragging)
        m_dragging->hide();

    const std::weak_ptr<int> life = m_life;
    const std::function<void(QWidget*)> step = m_context.glideStep;
    for (const Position& p : glidePath({v->x(), v->y()}, {x, y})) {
        v->move(p.x, p.y);
        if (step)
            step(v.data());
        else
            v->repaint();
        if (life.expired())
            return false;
        if (!v)
            return true;
    }
    moveControls(QPoint(x, y));
    return true;
}

void zxDrag::hideHover()
{
    if (m_over)
        m_over->hide();
}

std::string zxDrag::writeAnswer()
{
    m_record = setTag(m_record, "userAnswer", std::to_string(m_placed));
    return "<zxDrag>" + m_record + "</zxDrag>\r\n";
}

void zxDrag::markAnswer(const ImageControl* tick, const ImageControl* cross, ScoreTally& totals)
{
    const QWidget* v = visual();
    if (!v)
        return;
    const ObjectMarks marks = markDrag(m_targets, notSelectedMark(), m_placed);
    m_currentMark = marks.score;
    totals.add(marks);
    if (m_placed < 0)
        return;
    const QRect r = v->geometry();
    showMarkPicture(m_mark, m_parentWindow.data(), marks.sign(), tick, cross,
                    [&](QSize) { return QPoint(r.left() + r.width() - 20, r.top()); });
}

void zxDrag::showAnswer()
{
    if (!visual())
        return;
    // Showing the answers ends a keyboard hold; the item has gone home.
    if (m_keyHeld)
        endKeyHold();
    const ItemRect r = rect();
    const auto there = cheatPosition(m_targets, notSelectedMark(), r.width, r.height, mayOverlap(),
                                     m_handlers.isAreaTaken);
    const Position to = there ? *there : home();
    moveTo(to.x, to.y);
}

void zxDrag::restoreAnswer()
{
    const ItemRect r = rect();
    if (m_placed < 0) {
        const Position h = home();
        moveTo(h.x, h.y);
        return;
    }
    const Position centre = centreOnTarget(m_targets.at(m_placed), r.width, r.height);
    if (!moveTo(centre.x, centre.y))
        return;
    placed();
}

void zxDrag::clearPlacement()
{
    m_placed = -1;
    m_currentMark = 0;
    const Position h = home();
    if (!moveTo(h.x, h.y))
        return;
    removeMark();
    m_record = deleteTag(m_record, "userAnswer");
    announceAccessibleChange(visual());
}

void zxDrag::releaseControls()
{
    restoreCursor();
    m_draggingNow = false;
    m_keyHeld = false;
    releaseImage(m_picture);
    releaseImage(m_over);
    releaseImage(m_dragging);
    if (m_button) {
        m_button->clearHandlers();
        releaseWidget(m_button.data());
    }
    m_button = nullptr;
    removeMark();
}

void zxDrag::restoreCursor()
{
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
}

void zxDrag::placed()
{
    if (m_handlers.onPlaced) {
        const auto handler = m_handlers.onPlaced;
        handler();
    }
}

void zxDrag::removed()
{
    if (m_handlers.onRemoved) {
        const auto handler = m_handlers.onRemoved;
        handler();
    }
}

void zxDrag::removeMark() { removeMarkPicture(m_mark); }

} // namespace zx
