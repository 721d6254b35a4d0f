// The message window: a small non-modal tool window that shows one
// caption and one text at a time and hides itself when it loses the focus.
#pragma once

#include <QWidget>

class QTextEdit;

namespace zx {

class TMessageForm : public QWidget {
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* mainWindow = nullptr);

    // Replaces caption and text and shows the window without waiting,
    // centred on the main window.
    void showMessage(const QString& caption, const QString& text);
    QString messageText() const;
    QTextEdit* memo() const { return m_message; }

protected:
    bool event(QEvent* event) override;

private:
    QWidget* m_mainWindow;
    QTextEdit* m_message;
};

} // namespace zx
