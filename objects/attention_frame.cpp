#include "objects/attention_frame.h"

#include "objects/shape_control.h"

#include <QPointer>
#include <QThread>

namespace zx {

void attentionFrame(int left, int top, QWidget* parent, int height, int width,
                    const std::function<void(int ms)>& wait)
{
    if (parent == nullptr)
        return;
    const auto pause = [&wait](int ms) {
        if (wait)
            wait(ms);
        else
            QThread::msleep(static_cast<unsigned long>(ms));
    };
    QPointer<ShapeControl> frame = new ShapeControl(parent);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->setBrush(Qt::NoBrush);
    QPen pen(QColor(255, 0, 0), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    frame->setPen(pen);
    frame->show();
    frame->raise();

    for (int i = 0; i < 30 && frame; ++i) {
        frame->setGeometry(left + i - 30, top + i - 30, width + 60 - 2 * i, height + 60 - 2 * i);
        frame->repaint();
        pause(10);
    }
    for (int blink = 0; blink < 3 && frame; ++blink) {
        pen.setWidth(4);
        frame->setPen(pen);
        frame->repaint();
        pause(40);
        if (!frame)
            break;
        pen.setWidth(1);
        frame->setPen(pen);
        frame->repaint();
        pause(40);
    }
    delete frame.data();
}

} // namespace zx
