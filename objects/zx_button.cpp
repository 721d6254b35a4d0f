#include "objects/zx_button.h"

#include "objects/answer_keys.h"
#include "objects/answer_visuals.h"
#include "objects/core/answer_marks.h"
#include "objects/core/score_tally.h"
#include "objects/picture_loader.h"
#include "objects/qt_text.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

namespace zx {

namespace {

int pointerX(const QMouseEvent& event) { return static_cast<int>(std::floor(event.position().x())); }

} // namespace

zxButton::zxButton(QWidget* parentWindow, std::string record, PageContext context)
    : zxObject(parentWindow, std::move(record), std::move(context))
    , m_layer(getTagInt(m_record, "ButtonLayer", 6))
{
}

zxButton::~zxButton()
{
    releaseControls();
}

ImageControl* zxButton::picture(int n) const
{
    if (n < 1 || n > maxPictures)
        return nullptr;
    return m_pictures[static_cast<std::size_t>(n - 1)].data();
}

int zxButton::pictureCount() const
{
    switch (m_kind) {
    case ButtonKind::Choice:
        return 3;
    case ButtonKind::TrueFalse:
        return 7;
    case ButtonKind::None:
        break;
    }
    return 0;
}

void zxButton::buildVisuals(int layer, TestState state, Handler onSelected, Handler onDeselected)
{
    buildVisuals(layer, state, std::move(onSelected), std::move(onDeselected), m_context.resolveBankFile);
}

void zxButton::buildVisuals(int layer, TestState state, Handler onSelected, Handler onDeselected,
                            Resolver resolveBankFile)
{
    if (layer != m_layer && layer >= 0)
        return;
    m_onSelected = std::move(onSelected);
    m_onDeselected = std::move(onDeselected);
    removeMark();
    m_kind = buttonKind(m_record);

    auto resolve = [&](const std::string& name) {
        return resolveBankFile ? resolveBankFile(name) : m_context.resolve(name);
    };
    auto soundOf = [&](const char* key) {
        const std::string path = resolve(getTag(m_record, key));
        return pictureFileExists(path) && mediaHeaderMatches(path) ? path : std::string("0");
    };
    if (m_kind == ButtonKind::Choice) {
        m_sounds[0] = soundOf("ButtonSound1");
    } else if (m_kind == ButtonKind::TrueFalse) {
        m_sounds[1] = soundOf("ButtonSound2");
        m_sounds[2] = soundOf("ButtonSound3");
    }

    const int count = pictureCount();
    if (count > 0 && m_parentWindow) {
        const std::string prefix = m_kind == ButtonKind::Choice ? "s" : "tf";
        const QPoint at(getTagInt(m_record, "buttonLeft", 0), getTagInt(m_record, "buttonTop", 0));
        const bool final = answersAreFinal(state);
        for (int n = 1; n <= count; ++n) {
            QPointer<ImageControl>& picture = m_pictures[static_cast<std::size_t>(n - 1)];
            if (!picture) {
                picture = new ImageControl(m_parentWindow.data());
                // State pictures lie over the base picture; their key colour
                // lets it show through.
                picture->setTransparent(true);
                zx::loadPictureFile(*picture, resolve(getTag(m_record, prefix + std::to_string(n))));
                if (n == 1) {
                    // The base picture stands for the button to the keyboard
                    // and to screen readers; a click leaves the focus alone.
                    picture->setFocusPolicy(Qt::TabFocus);
                    picture->describe = [this, final] { return accessibleInfo(final); };
                    picture->onKeyDown = [this, final](QKeyEvent& event) { return keyDown(event, final); };
                }
                if (final) {
                    picture->onMouseDown = [this](QMouseEvent& event) {
                        if (event.button() == Qt::LeftButton)
                            refuseAnswerChange(m_context);
                    };
                } else {
                    picture->setCursor(Qt::PointingHandCursor);
                    picture->onMouseMove = [this](QMouseEvent& event) { pointerMove(pointerX(event)); };
                    picture->onMouseDown = [this](QMouseEvent& event) {
                        if (event.button() == Qt::LeftButton)
                            pointerDown(pointerX(event));
                    };
                    picture->onMouseUp = [this](QMouseEvent& event) {
                        if (event.button() == Qt::LeftButton)
                            pointerUp(pointerX(event));
                    };
                }
            } else {
                adoptControl(picture);
            }
            // Every picture takes the base picture's size, so an empty base
            // picture leaves the whole button without size.
            picture->setGeometry(QRect(at, m_pictures[0]->naturalSize()));
            picture->hide();
            picture->raise();
        }
        m_pictures[0]->show();
        if (m_kind == ButtonKind::TrueFalse)
            m_halfWidth = trueFalseHalfWidth(m_pictures[0]->naturalSize().width());
    }

    m_state = storedButtonState(m_record);
    applyState();
}

void zxButton::show(int n, bool on)
{
    if (ImageControl* p = picture(n))
        p->setVisible(on);
}

void zxButton::play(int n)
{
    const std::string& path = soundPath(n);
    if (path != "0" && m_context.playAudioFile)
        m_context.playAudioFile(path);
}

void zxButton::selected()
{
    if (m_onSelected) {
        const Handler handler = m_onSelected;
        handler();
    }
}

void zxButton::deselected()
{
    if (m_onDeselected) {
        const Handler handler = m_onDeselected;
        handler();
    }
}

void zxButton::applyState()
{
    announceAccessibleChange(picture(1));
    if (m_kind == ButtonKind::Choice) {
        show(3, m_state != 0);
        if (m_state != 0)
            selected();
        else
            deselected();
    } else if (m_kind == ButtonKind::TrueFalse) {
        switch (m_state) {
        case 0:
            for (int n = 4; n <= 7; ++n)
                show(n, false);
            deselected();
            break;
        case 1:
        case 2:
            show(4, m_state == 1);
            show(5, m_state == 2);
            show(6, false);
            show(7, false);
            selected();
            break;
        default:
            break;
        }
    }
}

void zxButton::clearSelection()
{
    m_state = 0;
    deselected();
    for (int n = 2; n <= maxPictures; ++n)
        show(n, false);
    removeMark();
    m_record = setTag(m_record, "userAnswer", "0");
    announceAccessibleChange(picture(1));
}

void zxButton::hideHover()
{
    show(2, false);
    if (m_kind == ButtonKind::TrueFalse) {
        show(3, false);
        show(6, false);
        show(7, false);
    }
}

void zxButton::pointerMove(int x)
{
    show(2, true);
    if (m_kind != ButtonKind::TrueFalse)
        return;
    if (trueFalseValueAt(x, m_halfWidth) == 2) {
        show(3, true);
        if (m_state == 1)
            show(6, true);
        show(7, false);
    } else {
        show(3, false);
        show(6, false);
        if (m_state == 2)
            show(7, true);
    }
}

void zxButton::pointerDown(int x)
{
    if (m_kind == ButtonKind::Choice) {
        if (m_state == 0 && picture(3)) {
            show(3, true);
            play(1);
        }
        removeMark();
    } else if (m_kind == ButtonKind::TrueFalse) {
        removeMark();
        const int pressed = trueFalseValueAt(x, m_halfWidth);
        for (int n = 4; n <= 7; ++n)
            show(n, m_state != pressed && n == (pressed == 1 ? 4 : 5));
    }
}

void zxButton::pointerUp(int x)
{
    if (m_kind == ButtonKind::Choice) {
        if (m_state == 0) {
            m_state = 1;
            selected();
        } else {
            m_state = 0;
            deselected();
            show(3, false);
        }
    } else if (m_kind == ButtonKind::TrueFalse) {
        const int released = trueFalseValueAt(x, m_halfWidth);
        m_state = trueFalseStateAfterRelease(m_state, released);
        if (m_state == 0)
            deselected();
        else
            selected();
        show(4, m_state == 1);
        show(5, m_state == 2);
        show(6, false);
        show(7, false);
        if (m_state == 1)
            play(2);
        else if (m_state == 2)
            play(3);
    }
    m_context.noteAnswerChanged();
}

bool zxButton::keyDown(const QKeyEvent& event, bool final)
{
    if (m_kind == ButtonKind::None)
        return false;
    const AnswerKey key =
        answerKeyOf(m_kind == ButtonKind::TrueFalse ? AnswerObject::TrueFalse : AnswerObject::Choice, event);
    if (key == AnswerKey::None)
        return false;
    if (event.isAutoRepeat())
        return true;
    if (final) {
        refuseAnswerChange(m_context);
        return true;
    }
    // The key presses and releases the pointer on the half it stands for:
    // the left half answers true, the right half false, and the half of
    // the answer given clears it.
    const int trueX = 0;
    const int falseX = m_halfWidth + 1;
    int x = trueX;
    if (m_kind == ButtonKind::TrueFalse) {
        if (key == AnswerKey::True && m_state == 1)
            return true;
        if (key == AnswerKey::False && m_state == 2)
            return true;
        if (key == AnswerKey::Toggle && m_state == 0)
            return true;
        if (key == AnswerKey::False || (key == AnswerKey::Toggle && m_state == 2))
            x = falseX;
    }
    const QPointer<ImageControl> base(picture(1));
    pointerDown(x);
    pointerUp(x);
    announceAccessibleChange(base);
    return true;
}

std::string zxButton::accessibleName() const
{
    if (!m_label.empty())
        return m_label;
    const std::string name = getTag(m_record, "ButtonName");
    if (!name.empty() && name != "-empty45646-")
        return name;
    return m_context.message(m_kind == ButtonKind::TrueFalse ? 95 : 96);
}

AccessibleInfo zxButton::accessibleInfo(bool final) const
{
    AccessibleInfo info;
    info.name = cp1252ToQString(accessibleName());
    info.readOnly = final;
    if (m_kind == ButtonKind::TrueFalse) {
        // Three answers: none, true and false, read as the button's value.
        // Three answers, none, true and false: the answer is part of the
        // name, which screen readers speak again when it changes.
        info.role = QAccessible::Button;
        info.checked = m_state != 0;
        info.value = cp1252ToQString(m_context.message(m_state == 1 ? 27 : m_state == 2 ? 28 : 26));
        info.name += QStringLiteral(", ") + info.value;
        info.description = cp1252ToQString(m_context.message(95));
    } else {
        info.role = QAccessible::CheckBox;
        info.description = cp1252ToQString(m_context.message(96));
        info.checkable = true;
        info.checked = m_state != 0;
        info.value = cp1252ToQString(m_context.message(m_state != 0 ? 24 : 25));
    }
    return info;
}

std::string zxButton::writeAnswer()
{
    m_record = setTag(m_record, "userAnswer", std::to_string(m_state));
    return "<zxButton>" + m_record + "</zxButton>\r\n";
}

void zxButton::markAnswer(const ImageControl* tick, const ImageControl* cross, ScoreTally& totals)
{
    const ImageControl* base = picture(1);
    if (!base)
        return;
    const ObjectMarks marks = markButton(m_record, m_state);
    totals.add(marks);
    if (m_state < 1)
        return;
    const QRect b = base->geometry();
    showMarkPicture(m_mark, m_parentWindow.data(), marks.sign(), tick, cross, [&](QSize own) {
        return QPoint(b.left() + b.width() - 15, b.top() + b.height() + 5 - own.height());
    });
}

void zxButton::showAnswer()
{
    for (int n = 2; n <= maxPictures; ++n)
        show(n, false);
    const ButtonCheatView view = buttonCheatView(m_record);
    if (m_kind == ButtonKind::Choice) {
        show(3, view.showSelected);
    } else if (m_kind == ButtonKind::TrueFalse) {
        show(4, view.showTrue);
        show(5, view.showFalse);
    }
}

void zxButton::releaseControls()
{
    for (auto& picture : m_pictures)
        releaseImage(picture);
    removeMark();
}

void zxButton::removeMark() { removeMarkPicture(m_mark); }

} // namespace zx
