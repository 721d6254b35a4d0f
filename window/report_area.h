// The report area: the detailed and the summary report views, made on need
// over the page area, the two View items that choose between them, and
// printing whatever is on show.
#pragma once

#include "results/core/report_document.h"
#include "results/core/results_display.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QPrinter;
class QWidget;

namespace zx {

class ReportView;

class ReportArea : public QObject {
    Q_OBJECT
public:
    // The views cover `pageArea` and are made on its parent; the View items
    // `summaryItem` and `detailedItem` carry a tick only the caller sets (the
    // tick Qt flips on a click is put back before ResultsToggle).
    // `messageText` gives interface message n (the views' accessible name).
    ReportArea(QWidget* pageArea, QAction* summaryItem, QAction* detailedItem,
               std::function<QString(int)> messageText, QObject* parent = nullptr);
    ~ReportArea() override;

    // Empties the view of `kind` (making it first) and writes `report`.
    void setReport(ReportKind kind, ReportDocument report);
    void destroyReport(ReportKind kind);
    // The report a view holds; null when the view does not exist.
    const ReportDocument* report(ReportKind kind) const;
    bool reportVisible(ReportKind kind) const;
    // The view of `kind`, null when it does not exist.
    ReportView* view(ReportKind kind) const;
    // The view on show (the summary first), null when none is.
    ReportView* shownView() const;
    // Shows the view of `kind` in front of the page and hides the other.
    void showReport(ReportKind kind);
    void hideReports();
    // Shows, hides and destroys the views and sets the View items as the
    // plan of a results display mode says (views that do not exist stay
    // so).
    void applyResultsDisplay(const ResultsDisplayPlan& plan);
    // The View items: enabled, and which of them is ticked.
    void setViewItemsEnabled(bool enabled);
    void setViewChecks(bool summaryChecked, bool detailedChecked);
    bool summaryItemChecked() const;
    // The views follow the page area's place and size.
    void followPageArea();
    // Prints the summary when it is on show, else the detailed report when
    // it is, else an image of the page's window; the job is called
    // "Results".
    void printShownReport(QPrinter& printer) const;

signals:
    // View/Show Results Summary (summary = true) or Show Detailed Results.
    void ResultsToggle(bool summary);

private:
    QPointer<ReportView>& viewOf(ReportKind kind);
    void showView(ReportView* view);

    QWidget* m_pageArea;
    QAction* m_summaryItem;
    QAction* m_detailedItem;
    std::function<QString(int)> m_messageText;
    QPointer<ReportView> m_detailedView;
    QPointer<ReportView> m_summaryView;
};

} // namespace zx
