// The end of a test and its results in the window: Finish (scoring, both
// reports, the results page, finished-question viewing) and the View
// items.  Works through the window's commands and signals and the test
// run's pages, like the test run itself.
#pragma once

#include "results/core/finish_test.h"

#include <QObject>

#include <optional>

namespace zx {

class TMainForm;
class TestRun;

class ResultsRun : public QObject {
    Q_OBJECT
public:
    ResultsRun(TMainForm& form, TestRun& run);

    void FinishButtonClick();
    void ResultsToggle(bool summary);

    // The scores of the last finished test (none before the first Finish).
    const std::optional<TestScore>& lastScore() const { return m_lastScore; }

private:
    // The results page after a finish: the views by mode, the slider, the
    // end-of-test messages and finished-question viewing.
    void showResults(const FinishedTest& finished);
    void offerFinishedQuestionViewing(ResultsDisplayMode mode);

    TMainForm& m_form;
    TestRun& m_run;
    std::optional<TestScore> m_lastScore;
};

} // namespace zx
