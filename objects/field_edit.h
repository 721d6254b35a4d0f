// The one-line text box of a typed-answer field.  It stays read-only
// except while a key that its field lets through is being handled: the
// field's key-down handler unlocks the box for that one key, and the box
// locks itself again as soon as the key has been handled and when the key
// is released.  So Delete, pasting, cutting, dropped text and input-method
// text never reach it, whatever the keyboard or the clipboard hold.
#pragma once

#include <QLineEdit>

#include <functional>

class QKeyEvent;

namespace zx {

class FieldEdit : public QLineEdit {
public:
    explicit FieldEdit(QWidget* parent);

    // Runs before the box handles a key; it may unlock the box with
    // setReadOnly(false) for this key.  The box may be gone afterwards
    // (a message shown from the handler can lead anywhere).
    std::function<void(QKeyEvent&)> onKeyDown;

    // The selection start, or the caret position when nothing is selected.
    int caret() const;

    // True for keys that are commands rather than typed characters
    // (paste, cut, undo and anything held with Control or Meta but not
    // Alt, so AltGr characters still count as typed).
    static bool isCommandKey(const QKeyEvent& event);

    // The test is finished: the box refuses every change (and says so to
    // screen readers).
    bool answersFinal() const { return m_answersFinal; }
    void setAnswersFinal(bool final) { m_answersFinal = final; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_answersFinal = false;
};

} // namespace zx
