// Timed tests through the real window: banks with a limit, and the test
// run's clock moved on by the tests.
#pragma once

#include "test_run_fixture.h"

#include "window/message_form.h"
#include "window/time_left_display.h"
#include "tagtext/tagged_text.h"
#include "testrun/test_clock.h"

namespace zx::test {

class TimedTest : public TestRunFixture {
protected:
    QString timedBank(int minutes, const std::string& extra = {}, const std::vector<std::string>& preTest = {})
    {
        return makeBank("<version>1</version><timeLimitMinutes>" + std::to_string(minutes) + "</timeLimitMinutes>"
                            + extra,
                        {fieldQuestionPage("Red planet?", "Mars"), fieldQuestionPage("Ringed?", "Saturn")}, preTest);
    }
    // Moves the clock on one second at a time, reading it after each.
    void runSeconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            m_now = m_now.addSecs(1);
            m_run->clock().tick();
        }
    }
    TimeLeftDisplay* display() const { return m_form->findChild<TimeLeftDisplay*>(QStringLiteral("TimeLeft")); }
    QString shown() const { return display()->text(); }
    TMessageForm* messages() const { return m_form->messages().messageForm(); }
    std::string storedAnswer(int question) const
    {
        return getTag(getTag(m_run->questionList(), "questionFile" + std::to_string(question)), "userAnswer");
    }
};

} // namespace zx::test
