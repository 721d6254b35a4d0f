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
    // Black, yellow and black again from the outside in: the yellow
    // stands out on a dark page, the black on a light one, and the inner
    // black keeps the ring apart from the object.
    auto band = [&](int from, int to, const QColor& colour) {
        const QRegion ring = QRegion(r.adjusted(from, from, -from, -from)).subtracted(QRegion(r.adjusted(to, to, -to, -to)));
        for (const QRect& part : ring)
            painter.fillRect(part, colour);
    };
    band(0, 2, Qt::black);
    band(2, reach - 1, QColor(255, 212, 0));
    band(reach - 1, reach, Qt::black);
}

} // namespace zx
