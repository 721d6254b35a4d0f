// The Help window: pages of help text whose captions come from the
// language file (five about taking a test, the sixth lists the keys).
// Showing a page announces "xh<index>", hiding announces "0", losing the
// focus stops any sound.  The keyboard turns the pages at the tabs, and
// Escape closes the window.
#pragma once

#include <QList>
#include <QPair>
#include <QWidget>

class QLabel;
class QTabWidget;

namespace zx {

class THelp : public QWidget {
    Q_OBJECT
public:
    explicit THelp(QWidget* mainWindow = nullptr);

    QTabWidget* pages() const { return m_pages; }
    void showCentred();
    // The keyboard page's list: each line a key (or keys) and what it does.
    void setKeyList(const QList<QPair<QString, QString>>& lines);
    QLabel* keyList() const { return m_keyList; }

signals:
    void announce(const QString& key);
    void playAudio(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void announcePage();

    QWidget* m_mainWindow;
    QTabWidget* m_pages;
    QLabel* m_keyList = nullptr;
};

} // namespace zx
