#include "window/user_prompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace zx {

UserPrompts UserPrompts::messageBoxes(QWidget* owner)
{
    QPointer<QWidget> parent(owner);
    UserPrompts prompts;
    prompts.inform = [parent](const QString& text) {
        QMessageBox::information(parent, QApplication::applicationName(), text);
    };
    prompts.warn = [parent](const QString& text) {
        QMessageBox::warning(parent, QApplication::applicationName(), text);
    };
    prompts.askYesNo = [parent](const QString& text) {
        return QMessageBox::warning(parent, QApplication::applicationName(), text,
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    };
    return prompts;
}

} // namespace zx
