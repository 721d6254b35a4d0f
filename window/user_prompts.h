// The plain, warning and confirmation boxes of the player.  Each is a
// replaceable function so that tests can answer them without a modal loop.
#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace zx {

struct UserPrompts {
    // Plain message box with an OK button.
    std::function<void(const QString& text)> inform;
    // Warning box with an OK button.
    std::function<void(const QString& text)> warn;
    // Warning box with Yes and No; true for Yes.
    std::function<bool(const QString& text)> askYesNo;
    // The save dialog for results: the chosen name, or empty when it was
    // cancelled.  Set by the main window, which owns the dialog.
    std::function<QString()> chooseResultsFile;
    // The print dialog for `printer`; false when it was cancelled.  Set by
    // the main window.
    std::function<bool(QPrinter& printer)> choosePrinter;

    // Message boxes over `owner` (which may be null).
    static UserPrompts messageBoxes(QWidget* owner);
};

} // namespace zx
