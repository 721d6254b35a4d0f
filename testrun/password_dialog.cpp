#include "testrun/password_dialog.h"

#include "objects/qt_text.h"
#include "tagtext/cp1252.h"
#include "tagtext/tagged_text.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace zx {

TPassword::TPassword(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Password"));
    setModal(true);
    setFixedSize(300, 110);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("BankPassword"));
    m_edit->setMaxLength(120);
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setGeometry(16, 16, 268, 24);
    m_enter = new QPushButton(QStringLiteral("OK"), this);
    m_enter->setObjectName(QStringLiteral("PasswordEnterButton"));
    m_enter->setDefault(true);
    m_enter->setGeometry(64, 60, 80, 28);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("PasswordCancelButton"));
    m_cancel->setGeometry(156, 60, 80, 28);
    connect(m_enter, &QPushButton::clicked, this, &TPassword::PasswordEnterButtonClick);
    connect(m_cancel, &QPushButton::clicked, this, &TPassword::PasswordCancelButtonClick);
}

bool TPassword::passwordMatches(const std::string& typed, const std::string& stored)
{
    return lowerCp1252(filterPlainText(typed)) == lowerCp1252(filterPlainText(stored));
}

void TPassword::wait(int ms)
{
    if (m_delay) {
        m_delay(ms);
        return;
    }
    // Nothing in the dialog reacts meanwhile; the window still repaints.
    m_enter->setEnabled(false);
    m_cancel->setEnabled(false);
    m_edit->setEnabled(false);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_enter->setEnabled(true);
    m_cancel->setEnabled(true);
    m_edit->setEnabled(true);
}

void TPassword::PasswordEnterButtonClick()
{
    if (m_busy)
        return;
    m_busy = true;
    wait(attemptDelayMs);
    m_busy = false;
    if (!passwordMatches(qStringToCp1252(m_edit->text()), m_stored)) {
        if (m_wrongNotice)
            m_wrongNotice();
        else
            QMessageBox::information(this, windowTitle(), QStringLiteral("Wrong password."));
        m_edit->selectAll();
        m_edit->setFocus();
        return;
    }
    accept();
    emit passwordAccepted();
}

void TPassword::PasswordCancelButtonClick()
{
    reject();
    emit passwordCancelled();
}

} // namespace zx
