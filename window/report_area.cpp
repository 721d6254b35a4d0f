#include "window/report_area.h"

#include "objects/page_accessibility.h"
#include "window/report_view.h"

#include <QAction>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace zx {

ReportArea::ReportArea(QWidget* pageArea, QAction* summaryItem, QAction* detailedItem,
                       std::function<QString(int)> messageText, QObject* parent)
    : QObject(parent)
    , m_pageArea(pageArea)
    , m_summaryItem(summaryItem)
    , m_detailedItem(detailedItem)
    , m_messageText(std::move(messageText))
{
    for (const bool summary : {true, false}) {
        QAction* item = summary ? m_summaryItem : m_detailedItem;
        item->setCheckable(true);
        item->setEnabled(false);
        connect(item, &QAction::triggered, this, [this, item, summary](bool checked) {
            item->setChecked(!checked);
            emit ResultsToggle(summary);
        });
    }
}

ReportArea::~ReportArea()
{
    destroyReport(ReportKind::Detailed);
    destroyReport(ReportKind::Summary);
}

QPointer<ReportView>& ReportArea::viewOf(ReportKind kind)
{
    return kind == ReportKind::Detailed ? m_detailedView : m_summaryView;
}

ReportView* ReportArea::view(ReportKind kind) const
{
    return kind == ReportKind::Detailed ? m_detailedView.data() : m_summaryView.data();
}

ReportView* ReportArea::shownView() const
{
    for (ReportKind kind : {ReportKind::Summary, ReportKind::Detailed})
        if (ReportView* shown = view(kind); shown && shown->isVisible())
            return shown;
    return nullptr;
}

void ReportArea::setReport(ReportKind kind, ReportDocument report)
{
    QPointer<ReportView>& made = viewOf(kind);
    if (!made) {
        made = new ReportView(m_pageArea->parentWidget());
        made->setObjectName(kind == ReportKind::Detailed ? QStringLiteral("DetailedResultsView")
                                                         : QStringLiteral("ResultsSummaryView"));
        presentAsDocument(made);
        if (m_messageText)
            made->setAccessibleName(m_messageText(91));
        made->hide();
    }
    made->setGeometry(m_pageArea->geometry());
    made->setReport(std::move(report));
}

void ReportArea::destroyReport(ReportKind kind)
{
    QPointer<ReportView>& made = viewOf(kind);
    delete made.data();
    made = nullptr;
}

const ReportDocument* ReportArea::report(ReportKind kind) const
{
    const ReportView* made = view(kind);
    return made ? &made->report() : nullptr;
}

bool ReportArea::reportVisible(ReportKind kind) const
{
    const ReportView* made = view(kind);
    return made && made->isVisible();
}

void ReportArea::showView(ReportView* shown)
{
    if (!shown)
        return;
    shown->setGeometry(m_pageArea->geometry());
    shown->show();
    shown->raise();
}

void ReportArea::showReport(ReportKind kind)
{
    const ReportKind other = kind == ReportKind::Detailed ? ReportKind::Summary : ReportKind::Detailed;
    if (ReportView* hidden = view(other))
        hidden->hide();
    showView(view(kind));
}

void ReportArea::hideReports()
{
    for (ReportKind kind : {ReportKind::Detailed, ReportKind::Summary})
        if (ReportView* made = view(kind))
            made->hide();
}

void ReportArea::applyResultsDisplay(const ResultsDisplayPlan& plan)
{
    auto apply = [this](ReportKind kind, ViewAction what) {
        switch (what) {
        case ViewAction::Destroy:
            destroyReport(kind);
            break;
        case ViewAction::Hide:
            if (ReportView* made = view(kind))
                made->hide();
            break;
        case ViewAction::Show:
            showView(view(kind));
            break;
        }
    };
    apply(ReportKind::Detailed, plan.detailed);
    apply(ReportKind::Summary, plan.summary);
    setViewItemsEnabled(plan.viewItemsEnabled);
    if (plan.setChecks)
        setViewChecks(plan.summaryChecked, plan.detailedChecked);
}

void ReportArea::setViewItemsEnabled(bool enabled)
{
    m_summaryItem->setEnabled(enabled);
    m_detailedItem->setEnabled(enabled);
}

void ReportArea::setViewChecks(bool summaryChecked, bool detailedChecked)
{
    m_summaryItem->setChecked(summaryChecked);
    m_detailedItem->setChecked(detailedChecked);
}

bool ReportArea::summaryItemChecked() const { return m_summaryItem->isChecked(); }

void ReportArea::followPageArea()
{
    for (ReportKind kind : {ReportKind::Detailed, ReportKind::Summary})
        if (ReportView* made = view(kind))
            made->setGeometry(m_pageArea->geometry());
}

void ReportArea::printShownReport(QPrinter& printer) const
{
    printer.setDocName(QStringLiteral("Results"));
    if (const ReportView* shown = shownView()) {
        // Printed from the report itself, with its sizes in points; a
        // report beyond the printing limits is not printed.
        printReports({&shown->report()}, printer, nullptr);
        return;
    }
    // No report on show: an image of the window, as large as the page
    // allows.
    const QPixmap image = m_pageArea->window()->grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawPixmap(0, 0, image);
    painter.end();
}

} // namespace zx
