// The bank password dialog: one edit box and two buttons.  Each attempt
// waits 1200 ms, right or wrong; a wrong password leaves the dialog open
// for another attempt.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace zx {

class TPassword : public QDialog {
    Q_OBJECT
public:
    explicit TPassword(QWidget* parent = nullptr);

    static constexpr int attemptDelayMs = 1200;

    // The bank's stored password (Windows-1252).
    void setStoredPassword(std::string password) { m_stored = std::move(password); }
    // Waits between an attempt and its answer; tests pass one that only
    // records.  Default: a wait with the dialog's buttons disabled.
    void setDelay(std::function<void(int ms)> delay) { m_delay = std::move(delay); }
    // Shows the wrong-password message; default: a plain message box.
    void setWrongPasswordNotice(std::function<void()> notice) { m_wrongNotice = std::move(notice); }

    // True when the typed text is the password: both compared in lower
    // case after the plain-text filter.
    static bool passwordMatches(const std::string& typed, const std::string& stored);

    QLineEdit* passwordEdit() const { return m_edit; }
    QPushButton* enterButton() const { return m_enter; }
    QPushButton* cancelButton() const { return m_cancel; }

    void PasswordEnterButtonClick();
    void PasswordCancelButtonClick();

signals:
    void passwordAccepted();
    void passwordCancelled();

private:
    void wait(int ms);

    std::string m_stored;
    std::function<void(int)> m_delay;
    std::function<void()> m_wrongNotice;
    QLineEdit* m_edit;
    QPushButton* m_enter;
    QPushButton* m_cancel;
    bool m_busy = false;
};

} // namespace zx
