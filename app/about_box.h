// The About window, also shown without border as the start-up splash.
// Page 1 shows the splash picture (replaced by "logoX.jpg" beside the
// program when that file is a readable JPEG) with two text areas; page 2
// the credits.  A click shows the next page; a click on the last page goes
// back to page 1 and closes the window.  However it was closed (a click,
// Esc, the close box), it opens again on page 1.
#pragma once

#include <QDialog>

class QLabel;
class QStackedWidget;
class QTextEdit;

namespace zx {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(const QString& programFolder, QWidget* parent = nullptr);

    // Message 9; its version number becomes this build's (or is added).
    void setVersionText(const QString& text);
    void setSecondText(const QString& text);
    QString versionText() const;

    int activePage() const;
    QStackedWidget* pageControl() const { return m_pages; }
    QWidget* coverShape(int page) const { return page == 0 ? m_cover1 : m_cover2; }
    QLabel* splashImage() const { return m_splash; }

    // Shows the window without its dialog border and lets it paint.
    void showAsSplash();
    // Closes the splash and gives the window its dialog border back.
    void endSplash();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void pageClicked();

    QStackedWidget* m_pages;
    QLabel* m_splash;
    QTextEdit* m_version;
    QTextEdit* m_second;
    QWidget* m_cover1;
    QWidget* m_cover2;
};

} // namespace zx
