// The application style with the player's hint timing: a hint appears
// after the pointer rests 2000 ms on a control.  (How long it stays is set
// where the hint is shown.)
#pragma once

#include <QProxyStyle>

namespace zx {

class HintStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit HintStyle(const QString& baseStyleKey, int wakeUpDelayMs);

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

    // Installs the style on the application unless one is there already.
    static void install(int wakeUpDelayMs);

private:
    int m_wakeUpDelay;
};

} // namespace zx
