#include "app/about_box.h"

#include "app/core/program_version.h"
#include "app/splash_art.h"
#include "window/window_placement.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTextEdit>

namespace zx {

namespace {

QTextEdit* versionMemo(QWidget* page, const char* name, const QRect& geometry)
{
    auto* memo = new QTextEdit(page);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setGeometry(geometry);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setReadOnly(true);
    memo->setEnabled(false);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return memo;
}

void setCentredText(QTextEdit* memo, const QString& text)
{
    memo->setPlainText(text);
    memo->selectAll();
    memo->setAlignment(Qt::AlignHCenter);
    QTextCursor cursor = memo->textCursor();
    cursor.clearSelection();
    memo->setTextCursor(cursor);
}

QWidget* makeCoverShape(QWidget* page, const char* name, const QRect& geometry)
{
    auto* cover = new QWidget(page);
    cover->setObjectName(QString::fromLatin1(name));
    cover->setGeometry(geometry);
    cover->setAttribute(Qt::WA_TranslucentBackground);
    cover->setCursor(Qt::PointingHandCursor);
    cover->raise();
    return cover;
}

} // namespace

TAboutBox::TAboutBox(const QString& programFolder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(332, 400);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setGeometry(0, 0, 332, 400);

    auto* sheet1 = new QWidget;
    sheet1->setObjectName(QStringLiteral("TabSheet1"));
    m_splash = new QLabel(sheet1);
    m_splash->setObjectName(QStringLiteral("Splash"));
    QImage picture = drawSplashPicture();
    const QString logo = programFolder + QStringLiteral("/logoX.jpg");
    if (QFileInfo(logo).isFile()) {
        QImageReader reader(logo, "jpeg");
        reader.setAllocationLimit(64); // megabytes: no picture of a hostile size
        const QImage replacement = reader.read();
        if (!replacement.isNull())
            picture = replacement;
    }
    m_splash->setPixmap(QPixmap::fromImage(picture));
    m_splash->setGeometry(12, 0, picture.width(), picture.height());
    m_version = versionMemo(sheet1, "Version", QRect(2, 320, 321, 33));
    m_second = versionMemo(sheet1, "Version2", QRect(2, 360, 321, 17));
    m_cover1 = makeCoverShape(sheet1, "CoverShape1", QRect(0, 0, 329, 417));

    auto* sheet2 = new QWidget;
    sheet2->setObjectName(QStringLiteral("TabSheet2"));
    auto* credits = new QLabel(sheet2);
    credits->setObjectName(QStringLiteral("Credits"));
    credits->setPixmap(QPixmap::fromImage(drawCreditsPicture()));
    credits->setGeometry(12, 0, 321, 393);
    m_cover2 = makeCoverShape(sheet2, "CoverShape2", QRect(0, 0, 329, 417));

    m_pages->addWidget(sheet1);
    m_pages->addWidget(sheet2);
    m_pages->setCurrentIndex(0);
    for (QObject* watched : {static_cast<QObject*>(m_pages), static_cast<QObject*>(sheet1),
                             static_cast<QObject*>(m_cover1), static_cast<QObject*>(m_cover2)})
        watched->installEventFilter(this);
}

void TAboutBox::setVersionText(const QString& text)
{
    // The language file's line with this build's version number in it.
    const std::string version(programVersion());
    const std::string line = withProgramVersion(text.toStdString(), version);
    setCentredText(m_version, QString::fromStdString(line));
}

void TAboutBox::setSecondText(const QString& text)
{
    setCentredText(m_second, text);
}

QString TAboutBox::versionText() const
{
    return m_version->toPlainText();
}

int TAboutBox::activePage() const
{
    return m_pages->currentIndex();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        pageClicked();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::showEvent(QShowEvent* event)
{
    // Opening (not a window system's restore) always starts on page 1.
    if (!event->spontaneous())
        m_pages->setCurrentIndex(0);
    QDialog::showEvent(event);
}

void TAboutBox::pageClicked()
{
    if (m_pages->currentIndex() < m_pages->count() - 1) {
        m_pages->setCurrentIndex(m_pages->currentIndex() + 1);
    } else {
        m_pages->setCurrentIndex(0);
        close();
    }
}

void TAboutBox::showAsSplash()
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    centreOn(this, nullptr);
    show();
    QCoreApplication::processEvents();
}

void TAboutBox::endSplash()
{
    hide();
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

} // namespace zx
