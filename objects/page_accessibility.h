// What a screen reader learns about the controls of a page.  Qt describes
// its own widgets (labels, push buttons); the controls the page objects
// draw themselves describe themselves through `describe`, which is asked
// afresh each time, so the role, name, state and value always follow the
// object.  Typed-answer boxes read as editable text with their label and
// kind (the box is only locked against unwanted input, never read-only to
// the candidate until the test is finished), shapes as graphics, and a
// report view as a document.
#pragma once

#include <QAccessible>
#include <QString>

#include <functional>

class QTextEdit;
class QWidget;

namespace zx {

// A described control: its role and name (with the answer, for controls
// with more than two states), a description of its kind, the answer as its
// value, and its state.
struct AccessibleInfo {
    QAccessible::Role role = QAccessible::Graphic;
    QString name;
    QString description;
    QString value;
    bool checkable = false;
    bool checked = false;
    bool pressed = false;
    bool readOnly = false;
};

// A control that tells screen readers what it is.  Without `describe` it
// is a plain widget to them.
class Describable {
public:
    virtual ~Describable() = default;
    std::function<AccessibleInfo()> describe;
};

// Installs the description of page controls once; the controls call it
// when they are made.
void installPageAccessibility();

// Tells a listening screen reader that the state and the name of `widget`
// may have changed.
void announceAccessibleChange(QWidget* widget);

// A read-only rich-text view read as a document (a report).
void presentAsDocument(QTextEdit* view);

} // namespace zx
