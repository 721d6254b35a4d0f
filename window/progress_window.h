// The progress window shown while a bank's files are unpacked.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace zx {

class TProgress : public QWidget {
    Q_OBJECT
public:
    explicit TProgress(QWidget* mainWindow = nullptr);

    QLabel* progressLabel() const { return m_label; }
    QProgressBar* progressBar() const { return m_bar; }
    // Shows the window centred on the main window.
    void showCentred();

private:
    QWidget* m_mainWindow;
    QLabel* m_label;
    QProgressBar* m_bar;
};

} // namespace zx
