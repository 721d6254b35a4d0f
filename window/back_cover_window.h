// The white full-screen backdrop behind the main window during a test.
// Whenever it is activated or clicked it asks for the main window to come
// to the front again.
#pragma once

#include <QWidget>

namespace zx {

class TBackCoverWindow : public QWidget {
    Q_OBJECT
public:
    explicit TBackCoverWindow(QWidget* parent = nullptr);

    // Shows it maximised behind the main window.
    void showCover();

signals:
    void bringMainToFront();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace zx
