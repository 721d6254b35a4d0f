#include "objects/answer_keys.h"

#include <QKeyEvent>

namespace zx {

const std::vector<AnswerKeyBinding>& answerKeyBindings()
{
    using O = AnswerObject;
    using A = AnswerKey;
    static const std::vector<AnswerKeyBinding> bindings{
        {O::Choice, A::Toggle, Qt::Key_Space},
        {O::TrueFalse, A::True, Qt::Key_T},
        {O::TrueFalse, A::True, Qt::Key_Left},
        {O::TrueFalse, A::False, Qt::Key_F},
        {O::TrueFalse, A::False, Qt::Key_Right},
        {O::TrueFalse, A::Toggle, Qt::Key_Space},
        {O::Item, A::Toggle, Qt::Key_Space},
        {O::Item, A::Next, Qt::Key_Right},
        {O::Item, A::Next, Qt::Key_Down},
        {O::Item, A::Previous, Qt::Key_Left},
        {O::Item, A::Previous, Qt::Key_Up},
        {O::Item, A::Next, Qt::Key_Tab, true},
        {O::Item, A::Previous, Qt::Key_Backtab, true},
        {O::Item, A::Drop, Qt::Key_Return},
        {O::Item, A::Drop, Qt::Key_Enter},
        {O::Item, A::Cancel, Qt::Key_Escape},
        {O::StartPicture, A::Toggle, Qt::Key_Space},
        {O::StartPicture, A::Drop, Qt::Key_Return},
        {O::StartPicture, A::Drop, Qt::Key_Enter},
    };
    return bindings;
}

AnswerKey answerKeyOf(AnswerObject object, const QKeyEvent& event, bool held)
{
    // Shift comes with Backtab (and with letters typed in capitals); the
    // keypad's own modifier with its Enter and arrows.
    const Qt::KeyboardModifiers mods = event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (mods != Qt::NoModifier)
        return AnswerKey::None;
    // Shift+Tab comes as Backtab from most keyboards, as Tab with Shift
    // from some.
    int key = event.key();
    if (key == Qt::Key_Tab && (event.modifiers() & Qt::ShiftModifier))
        key = Qt::Key_Backtab;
    for (const AnswerKeyBinding& b : answerKeyBindings())
        if (b.object == object && b.key == key && (!b.onlyWhileHeld || held))
            return b.meaning;
    return AnswerKey::None;
}

bool offerKey(QEvent* event, const KeyHandler& onKeyDown, const KeyHandler& onKeyUp)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const KeyHandler& handler = event->type() == QEvent::KeyPress ? onKeyDown : onKeyUp;
    if (!handler)
        return false;
    const KeyHandler run = handler; // the handler may replace itself
    if (!run(*static_cast<QKeyEvent*>(event)))
        return false;
    event->accept();
    return true;
}

} // namespace zx
