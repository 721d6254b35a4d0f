#include "objects/focus_ring.h"

#include <QFocusEvent>
#include <QPainter>

namespace zx {

FocusRing::FocusRing(QWidget* page)
    : QWidget(page)
{
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusRing::watch(QWidget* control)
{
    if (!control)
        return;
    control->removeEventFilter(this);
    control->installEventFilter(this);
    if (control->hasFocus())
        surround(control);
}

void FocusRing::surround(QWidget* control)
{
    m_target = control;
    QWidget* page = parentWidget();
    if (!page || !control->isVisible()) {
        hide();
        return;
    }
    const QRect area(control->mapTo(page, QPoint(0, 0)), control->size());
    setGeometry(area.adjusted(-reach, -reach, reach, reach));
    show();
    raise();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    auto* control = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
            surround(control);
        break;
    case QEvent::FocusOut:
    case QEvent::Hide:
        if (control == m_target) {
            m_target = nullptr;
            hide();
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ZOrderChange:
        if (control == m_target && isVisible())
            surround(control);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    // Black outside, yellow inside: one of the two stands out on any page.
    painter.setPen(Qt::NoPen);
    const QRegion outer = QRegion(r).subtracted(QRegion(r.adjusted(2, 2, -2, -2)));
    const QRegion inner = QRegion(r.adjusted(2, 2, -2, -2)).subtracted(QRegion(r.adjusted(reach, reach, -reach, -reach)));
    for (const QRect& band : outer)
        painter.fillRect(band, Qt::black);
    for (const QRect& band : inner)
        painter.fillRect(band, QColor(255, 212, 0));
}

} // namespace zx
