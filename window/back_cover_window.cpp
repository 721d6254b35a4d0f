#include "window/back_cover_window.h"

#include <QEvent>

namespace zx {

TBackCoverWindow::TBackCoverWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("BackCoverWindow"));
    setWindowTitle(QStringLiteral("Tallyworks"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
}

void TBackCoverWindow::showCover()
{
    showMaximized();
    emit bringMainToFront();
}

bool TBackCoverWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        emit bringMainToFront();
    return QWidget::event(event);
}

void TBackCoverWindow::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    emit bringMainToFront();
}

} // namespace zx
