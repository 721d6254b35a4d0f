#include "objects/answer_visuals.h"

#include "objects/image_control.h"

namespace zx {

void refuseAnswerChange(const PageContext& context)
{
    if (context.announceRefusal)
        context.announceRefusal(83);
}

void showMarkPicture(QPointer<ImageControl>& mark, QWidget* parent, MarkSign sign, const ImageControl* tick,
                     const ImageControl* cross, const std::function<QPoint(QSize)>& place)
{
    if (!parent)
        return;
    if (!mark) {
        mark = new ImageControl(parent);
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        mark->setTransparent(true);
    }
    const ImageControl* source = sign == MarkSign::Tick ? tick : cross;
    mark->setPicture(source ? source->picture() : QImage());
    const QSize size = mark->naturalSize();
    mark->setGeometry(QRect(place(size), size));
    mark->show();
    mark->raise();
}

void removeMarkPicture(QPointer<ImageControl>& mark)
{
    delete mark.data();
    mark = nullptr;
}

void releaseWidget(QWidget* widget)
{
    if (widget) {
        widget->hide();
        widget->setParent(nullptr);
        widget->deleteLater();
    }
}

} // namespace zx
