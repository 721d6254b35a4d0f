// Applies the form-text lines of a language file to the program's windows.
//
// A line "Control Property value" looks the control up by object name in
// the main window, the Help window, the user details dialog and the
// password dialog, in this order (the first window holding a control of
// that name wins; a window may be null).  A window's controls are its
// descendants short of the windows it owns (the About, progress and message
// windows are never searched), menus and file dialogs included.  "FormCaption" lines only set the
// caption of the windows named "MainForm", "AboutBox", "UserDetails" and
// "Password".  The control's kind is tested in this order and decides
// which properties it takes:
//   menu item (QAction, or QMenu for a submenu)  Hint; any other: caption
//   label (QLabel)                                 Hint; any other: caption
//   edit box (QLineEdit)                           Hint only
//   group box (QGroupBox, not a radio group)       Hint; any other: caption
//   tab sheet (a page of a QTabWidget)             any property: tab caption
//   combo box (QComboBox)                          Hint; "Items": items split at "#"
//   colour button (QPushButton)                    Hint; any other: caption
//   radio group (QGroupBox with the dynamic        Hint; "Caption": title;
//     property "zxRadioGroup" = true)              "Item1"/"Item2": first/second QRadioButton
//   radio button (QRadioButton)                    Hint; "Caption"
//   check box (QCheckBox)                          Hint; "Caption"
//   save / open dialog (QFileDialog)               "Title": window title;
//                                                  "Filter": "A|*.a;*.b|B|*.c" as name filters
// A property containing "Hint" counts as "Hint".  A hint sets the tool tip
// to its short part, the status tip to its long part ("short|long", see
// hintShortPart) and the dynamic property "zxHint" to the whole hint.
// Unknown names, properties that do not fit the kind and controls of any
// other kind (a scroll bar takes no line, not even a hint) change nothing.
// The hint table itself is filled by parseLanguageFile.
#pragma once

#include "app/core/language_file.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <string_view>

namespace zx {

// The windows form-text lines can reach.  Any of them may be null.
struct LanguageWindows {
    QWidget* mainForm = nullptr;     // "MainForm", searched first
    QWidget* help = nullptr;         // searched second
    QWidget* userDetails = nullptr;  // "UserDetails", searched third
    QWidget* password = nullptr;     // "Password", searched fourth
    QWidget* aboutBox = nullptr;     // "AboutBox": only its caption
};

class LanguageApplier {
public:
    explicit LanguageApplier(const LanguageWindows& windows);

    // Applies every form-text line of `texts`, in order.
    void apply(const LanguageTexts& texts);
    // Applies one line; returns true when it changed something.
    bool applyLine(const FormTextLine& line);

    // The object a control name reaches (window order as above), or null.
    QObject* findControl(const QString& name) const;

private:
    void indexWindow(QWidget* window);
    void indexChildren(QObject* parent);
    bool applyHint(QObject* control, const QString& hint);

    LanguageWindows m_windows;
    QHash<QString, QPointer<QObject>> m_controls;   // first window wins
};

// Convenience: LanguageApplier(windows).apply(texts).
void applyLanguage(const LanguageTexts& texts, const LanguageWindows& windows);

} // namespace zx
