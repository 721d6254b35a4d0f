#include "window/message_form.h"

#include "window/window_placement.h"

#include <QEvent>
#include <QFrame>
#include <QTextEdit>
#include <QVBoxLayout>

namespace zx {

TMessageForm::TMessageForm(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("MessageForm"));
    setWindowTitle(QStringLiteral("Messages"));
    setFixedSize(294, 121);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Light));
    setPalette(pal);
    setAutoFillBackground(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    m_message = new QTextEdit(panel);
    m_message->setObjectName(QStringLiteral("Message"));
    m_message->setFrameShape(QFrame::NoFrame);
    m_message->setReadOnly(true);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(16);
    m_message->setFont(font);
    QPalette memoPal = m_message->palette();
    memoPal.setColor(QPalette::Base, Qt::white);
    memoPal.setColor(QPalette::Text, Qt::black);
    m_message->setPalette(memoPal);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(m_message);
}

void TMessageForm::showMessage(const QString& caption, const QString& text)
{
    setWindowTitle(caption);
    m_message->setPlainText(text);
    m_message->selectAll();
    m_message->setAlignment(Qt::AlignHCenter);
    QTextCursor cursor = m_message->textCursor();
    cursor.clearSelection();
    cursor.movePosition(QTextCursor::Start);
    m_message->setTextCursor(cursor);
    centreOn(this, m_mainWindow);
    show();
    raise();
}

QString TMessageForm::messageText() const
{
    return m_message->toPlainText();
}

bool TMessageForm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate)
        hide();
    return QWidget::event(event);
}

} // namespace zx
