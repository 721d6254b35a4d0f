// The focus ring of a page: a frame drawn over the page around the answer
// object that has the keyboard focus: yellow between two black edges, so
// that it shows on any page colour and apart from the object itself.  It lies above every control of the page, lets the
// pointer through and never takes the focus, so nothing below it moves or
// changes.  It shows only for focus that came from the keyboard (or was
// given by the program), not for a click.
#pragma once

#include <QPointer>
#include <QWidget>

namespace zx {

class FocusRing : public QWidget {
public:
    // Pixels the ring reaches out from the control it surrounds.
    static constexpr int reach = 6;

    explicit FocusRing(QWidget* page);

    // The ring follows `control` (a control on the page) while it has the
    // focus.
    void watch(QWidget* control);
    // The control the ring surrounds now, or null when it is hidden.
    QWidget* target() const { return isVisible() ? m_target.data() : nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void surround(QWidget* control);

    QPointer<QWidget> m_target;
};

} // namespace zx
