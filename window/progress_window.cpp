#include "window/progress_window.h"

#include "window/window_placement.h"

#include <QLabel>
#include <QProgressBar>

namespace zx {

TProgress::TProgress(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(292, 48);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Light));
    setPalette(pal);
    setAutoFillBackground(true);

    m_label = new QLabel(QStringLiteral("Progress"), this);
    m_label->setObjectName(QStringLiteral("ProgressLabel"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setGeometry(2, 7, 289, 13);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setGeometry(2, 24, 290, 17);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
}

void TProgress::showCentred()
{
    centreOn(this, m_mainWindow);
    show();
}

} // namespace zx
