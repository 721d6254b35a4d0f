// The Help window: five pages of help text whose captions come from the
// language file.  Showing a page announces "xh<index>", hiding announces
// "0", losing the focus stops any sound.
#pragma once

#include <QWidget>

class QTabWidget;

namespace zx {

class THelp : public QWidget {
    Q_OBJECT
public:
    explicit THelp(QWidget* mainWindow = nullptr);

    QTabWidget* pages() const { return m_pages; }
    void showCentred();

signals:
    void announce(const QString& key);
    void playAudio(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void announcePage();

    QWidget* m_mainWindow;
    QTabWidget* m_pages;
};

} // namespace zx
