#include "app/hint_style.h"

#include <QApplication>

namespace zx {

HintStyle::HintStyle(const QString& baseStyleKey, int wakeUpDelayMs)
    : QProxyStyle(baseStyleKey)
    , m_wakeUpDelay(wakeUpDelayMs)
{
}

int HintStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const
{
    if (hint == SH_ToolTip_WakeUpDelay)
        return m_wakeUpDelay;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void HintStyle::install(int wakeUpDelayMs)
{
    if (qobject_cast<HintStyle*>(QApplication::style()))
        return;
    QApplication::setStyle(new HintStyle(QApplication::style()->name(), wakeUpDelayMs));
}

} // namespace zx
