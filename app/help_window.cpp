#include "app/help_window.h"

#include "window/window_placement.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zx {

namespace {

QLabel* helpLabel(QWidget* page, const char* name, const QRect& geometry, int pixelSize, const char* face)
{
    auto* label = new QLabel(page);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setGeometry(geometry);
    QFont font(QString::fromLatin1(face));
    font.setPixelSize(pixelSize);
    label->setFont(font);
    return label;
}

} // namespace

THelp::THelp(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                              | Qt::MSWindowsFixedSizeDialogHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(QStringLiteral("Help"));
    setFixedSize(472, 273);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(12);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("HelpPages"));
    m_pages->setDocumentMode(true);
    m_pages->setFocusPolicy(Qt::NoFocus);
    // The keyboard reaches the page tabs (the arrows turn the pages); a
    // click leaves no focus behind.
    m_pages->tabBar()->setFocusPolicy(Qt::TabFocus);
    m_pages->tabBar()->setDrawBase(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    struct HelpPageLayout { const char* tab; const char* caption; const char* label; };
    const HelpPageLayout layouts[] = {
        {"TabIntroduction", "Introduction", "HelpIntro"},
        {"TabAutoPlay", "Auto Play", "HelpAutoPlay"},
        {"TabCheat", "Cheat", "HelpCheat"},
        {"TabMark", "Mark", "HelpMark"},
        {"TabFinish", "Finish", "HelpFinish"},
    };
    for (const HelpPageLayout& layout : layouts) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(layout.tab));
        if (m_pages->count() == 0) {
            QLabel* heading = helpLabel(page, "HowToTakeATestHeading", QRect(0, 0, 409, 16), 13, "Tahoma");
            QFont bold = heading->font();
            bold.setBold(true);
            heading->setFont(bold);
            helpLabel(page, layout.label, QRect(0, 24, 460, 225), 11, "Verdana");
        } else {
            helpLabel(page, layout.label, QRect(2, 11, 460, 233), 12, "Verdana");
        }
        m_pages->addTab(page, QString::fromLatin1(layout.caption));
    }
    // The keys: a line of introduction from the language file above the
    // list the main window makes from its keyboard map.
    auto* keys = new QWidget;
    keys->setObjectName(QStringLiteral("TabKeyboard"));
    helpLabel(keys, "HelpKeyboard", QRect(2, 6, 460, 36), 12, "Verdana");
    auto* scroller = new QScrollArea(keys);
    scroller->setObjectName(QStringLiteral("KeyListArea"));
    scroller->setGeometry(2, 44, 462, 200);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    m_keyList = new QLabel;
    m_keyList->setObjectName(QStringLiteral("HelpKeyList"));
    m_keyList->setTextFormat(Qt::RichText);
    m_keyList->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_keyList->setWordWrap(true);
    QFont listFont(QStringLiteral("Verdana"));
    listFont.setPixelSize(11);
    m_keyList->setFont(listFont);
    scroller->setWidget(m_keyList);
    m_pages->addTab(keys, QStringLiteral("Keyboard"));

    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (isVisible())
            announcePage();
    });
}

void THelp::setKeyList(const QList<QPair<QString, QString>>& lines)
{
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const auto& [keys, meaning] : lines)
        html += QStringLiteral("<tr><td style=\"padding-right:10px\"><b>%1</b></td><td>%2</td></tr>")
                    .arg(keys.toHtmlEscaped(), meaning.toHtmlEscaped());
    html += QStringLiteral("</table>");
    m_keyList->setText(html);
}

void THelp::showCentred()
{
    centreOn(this, m_mainWindow);
    show();
    raise();
    activateWindow();
}

void THelp::announcePage()
{
    emit announce(QStringLiteral("xh") + QString::number(m_pages->currentIndex()));
}

void THelp::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void THelp::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    announcePage();
}

void THelp::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit announce(QStringLiteral("0"));
}

bool THelp::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate)
        emit playAudio(QStringLiteral("0"));
    return QWidget::event(event);
}

} // namespace zx
