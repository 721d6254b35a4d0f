// The report area on its own: views made on need over the page area, one
// shown at a time, the display plans, the View items' ticks, the views
// following the page area, and printing what is on show.
#include "window/report_area.h"

#include "results/core/results_settings.h"
#include "window/report_view.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace zx::test {
namespace {

ReportDocument oneLine(const std::string& text)
{
    ReportDocument report;
    Paragraph paragraph;
    paragraph.runs.push_back({text, {}});
    report.paragraphs.push_back(paragraph);
    return report;
}

class ReportAreaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(800, 600);
        m_page = new QWidget(m_window.get());
        m_page->setGeometry(0, 0, 800, 573);
        m_menu = std::make_unique<QMenu>();
        m_summaryItem = m_menu->addAction(QStringLiteral("Summary"));
        m_detailedItem = m_menu->addAction(QStringLiteral("Detailed"));
        m_area = std::make_unique<ReportArea>(m_page, m_summaryItem, m_detailedItem,
                                              [](int n) { return QStringLiteral("text %1").arg(n); });
        m_window->show();
    }

    std::unique_ptr<QWidget> m_window;
    QWidget* m_page = nullptr;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_summaryItem = nullptr;
    QAction* m_detailedItem = nullptr;
    std::unique_ptr<ReportArea> m_area;
};

TEST_F(ReportAreaTest, ViewsAreMadeOnNeedAndShownOneAtATime)
{
    EXPECT_EQ(m_area->report(ReportKind::Detailed), nullptr);
    EXPECT_EQ(m_area->shownView(), nullptr);
    m_area->setReport(ReportKind::Detailed, oneLine("All of it"));
    m_area->setReport(ReportKind::Summary, oneLine("In short"));
    ASSERT_NE(m_area->report(ReportKind::Detailed), nullptr);
    EXPECT_EQ(*m_area->report(ReportKind::Summary), oneLine("In short"));
    ReportView* detailed = m_area->view(ReportKind::Detailed);
    EXPECT_EQ(detailed->parentWidget(), m_window.get());
    EXPECT_EQ(detailed->objectName(), QStringLiteral("DetailedResultsView"));
    EXPECT_EQ(detailed->accessibleName(), QStringLiteral("text 91"));
    EXPECT_FALSE(m_area->reportVisible(ReportKind::Detailed)) << "made hidden";

    m_area->showReport(ReportKind::Detailed);
    EXPECT_TRUE(m_area->reportVisible(ReportKind::Detailed));
    EXPECT_EQ(m_area->shownView(), detailed);
    EXPECT_EQ(detailed->geometry(), m_page->geometry());
    m_area->showReport(ReportKind::Summary);
    EXPECT_FALSE(m_area->reportVisible(ReportKind::Detailed));
    EXPECT_TRUE(m_area->reportVisible(ReportKind::Summary));

    // The views follow the page area.
    m_page->setGeometry(0, 0, 1024, 741);
    m_area->followPageArea();
    EXPECT_EQ(detailed->geometry(), m_page->geometry());
    EXPECT_EQ(m_area->view(ReportKind::Summary)->geometry(), m_page->geometry());

    m_area->hideReports();
    EXPECT_EQ(m_area->shownView(), nullptr);
    m_area->destroyReport(ReportKind::Summary);
    EXPECT_EQ(m_area->report(ReportKind::Summary), nullptr);
    m_area->showReport(ReportKind::Summary); // no view: nothing happens
    EXPECT_FALSE(m_area->reportVisible(ReportKind::Detailed));
}

TEST_F(ReportAreaTest, DisplayPlansAndTheViewItems)
{
    m_area->setReport(ReportKind::Detailed, oneLine("All of it"));
    m_area->setReport(ReportKind::Summary, oneLine("In short"));
    EXPECT_FALSE(m_summaryItem->isEnabled());
    EXPECT_TRUE(m_summaryItem->isCheckable());

    m_area->applyResultsDisplay(planResultsDisplay(ResultsDisplayMode::BothSummaryFirst));
    EXPECT_TRUE(m_area->reportVisible(ReportKind::Summary));
    EXPECT_FALSE(m_area->reportVisible(ReportKind::Detailed));
    EXPECT_TRUE(m_summaryItem->isEnabled());
    EXPECT_TRUE(m_area->summaryItemChecked());
    EXPECT_FALSE(m_detailedItem->isChecked());

    // A click asks; the tick stays until the answer sets it.
    QSignalSpy toggled(m_area.get(), &ReportArea::ResultsToggle);
    m_detailedItem->trigger();
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_FALSE(toggled[0][0].toBool());
    EXPECT_FALSE(m_detailedItem->isChecked());
    m_summaryItem->trigger();
    EXPECT_TRUE(toggled[1][0].toBool());
    EXPECT_TRUE(m_summaryItem->isChecked());
    m_area->setViewChecks(false, true);
    EXPECT_FALSE(m_area->summaryItemChecked());
    EXPECT_TRUE(m_detailedItem->isChecked());

    m_area->applyResultsDisplay(planResultsDisplay(ResultsDisplayMode::DetailedOnly));
    EXPECT_TRUE(m_area->reportVisible(ReportKind::Detailed));
    EXPECT_EQ(m_area->report(ReportKind::Summary), nullptr);
    EXPECT_FALSE(m_detailedItem->isEnabled());
}

TEST_F(ReportAreaTest, PrintsTheReportOnShowElseTheWindow)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto print = [&](const QString& name) {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
        m_area->printShownReport(printer);
        EXPECT_EQ(printer.docName(), QStringLiteral("Results"));
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll();
    };
    const QByteArray window = print(QStringLiteral("window.pdf"));
    EXPECT_TRUE(window.startsWith("%PDF"));
    EXPECT_TRUE(window.contains("/Subtype /Image")) << "an image of the window";

    m_area->setReport(ReportKind::Summary, oneLine("In short"));
    m_area->showReport(ReportKind::Summary);
    const QByteArray summary = print(QStringLiteral("summary.pdf"));
    EXPECT_TRUE(summary.contains("/Font")) << "the report's text";
    EXPECT_FALSE(summary.contains("/Subtype /Image"));
}

} // namespace
} // namespace zx::test
