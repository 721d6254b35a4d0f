#include "objects/zx_drag.h"

#include "objects/answer_visuals.h"
#include "objects/core/answer_marks.h"
#include "objects/core/score_tally.h"
#include "objects/picture_loader.h"
#include "objects/qt_text.h"
#include "tagtext/tagged_text.h"

#include <QApplication>
#include <QMouseEvent>

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

    m_targets = DragTargets::fromRecord(m_record);
    m_placed = storedPlacement(m_record, m_targets);
    restoreAnswer();
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
    v->raise();
    if (m_picture && m_over)
        m_over->raise();
    if (m_picture && m_dragging) {
        m_dragging->show();
        m_dragging->raise();
    }
    m_draggingNow = true;
    m_grab = at - v->pos();
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
    if (m_dragging)
        m_dragging->hide();
    if (!m_draggingNow)
        return;
    m_draggingNow = false;

    const DropOutcome outcome = decideDrop(m_targets, rect(), home(), mayOverlap(), m_handlers.isAreaTaken);
    if (!moveTo(outcome.destination.x, outcome.destination.y))
        return;
    if (outcome.placedIndex < 0) {
        removed();
        m_placed = -1;
    } else {
        placed();
        m_currentMark = m_targets.at(outcome.placedIndex).mark();
        m_placed = outcome.placedIndex;
    }
    m_context.noteAnswerChanged();
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
}

void zxDrag::releaseControls()
{
    restoreCursor();
    m_draggingNow = false;
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
