// The parts of the main window each controller is given: the test run, the
// results run and the start-up actions see only these.
#pragma once

#include "app/language_menu.h"
#include "app/main_form.h"
#include "app/startup_actions.h"
#include "results/results_run.h"
#include "testrun/password_dialog.h"
#include "testrun/test_run.h"
#include "testrun/user_details_dialog.h"

namespace zx {

inline TestRunWindow testRunWindow(TMainForm& form)
{
    return {form.pageWindow(), form.controlPanel(), form.reportArea(), form.messages(), form.keyboard(),
            form.examLock(),   form.fileMenu(),     form.optionsMenu(), form.readAloud()};
}

inline ResultsRunWindow resultsRunWindow(TMainForm& form)
{
    return {form.pageWindow(), form.controlPanel(), form.reportArea(), form.messages(), form.examLock(), form.fileMenu()};
}

inline StartupWindow startupWindow(TMainForm& form)
{
    return {form.startup(), form.messages(), form.settings(), form.paths().programFolder, &form,
            [&form](bool resultsStoredAutomatically) { form.enterLocalBankMode(resultsStoredAutomatically); }};
}

// The test run's password and details dialogs take the language file's
// texts after the main and help windows.
inline void attachTestRun(TMainForm& form, TestRun& run)
{
    form.language().setBankDialogs(run.userDetailsDialog(), run.passwordDialog());
}

} // namespace zx
