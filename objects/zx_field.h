// A typed-answer field: a one-line text box in which the candidate types
// free text, a whole number or a decimal number (`editRestriction` 0/other,
// 2, 1).  Only the characters of its kind get in (typed_answer.h decides
// which, and where); the box is otherwise read-only, so Delete, pasting and
// cutting never change it.  Once the test is finished every key press is
// refused with message 83.
//
// The candidate's text lives in the box while the page is shown;
// writeAnswer copies it into the record as `userAnswer` when the page is
// left.
//
// Screen readers read the box as editable text named by the page text
// beside it (else `FieldName`) and described by its kind of answer.
#pragma once

#include "objects/core/saved_answer.h"
#include "objects/field_edit.h"
#include "objects/image_control.h"
#include "objects/zx_object.h"

#include <QPointer>

#include <string>

class QKeyEvent;

namespace zx {

struct ScoreTally;

class zxField : public zxObject {
public:
    // Stores the record, chooses the allowed characters and builds the box.
    zxField(QWidget* parentWindow, std::string record, PageContext context, TestState state);
    ~zxField() override;

    int restriction() const { return m_restriction; }
    FieldEdit* box() const { return m_box.data(); }
    ImageControl* markPicture() const { return m_mark.data(); }

    // Builds the box (once), places it and fills it with the stored
    // answer; in the finished states every key is refused.
    void buildVisuals(TestState state);
    // The record with the box's text as `userAnswer`, as a complete
    // "<zxField>...</zxField>" element and CR LF.
    std::string writeAnswer();
    // Adds this field's marks to `totals` and shows a tick or a cross
    // beside an answered field.
    void markAnswer(const ImageControl* tick, const ImageControl* cross, ScoreTally& totals);
    // Shows the expected answer (Cheat held), keeping the candidate's text.
    void showAnswer();
    // Puts the candidate's text back; without a showAnswer before it the
    // box is left as it is.
    void restoreAnswer();
    void releaseControls();

    // The box's text as record bytes.
    std::string typedText() const;

    // The text a screen reader names the box by (Windows-1252): the page
    // text beside it, set by the page; empty for `FieldName`.
    void setLabel(std::string label);
    std::string accessibleName() const;

private:
    void keyDown(QKeyEvent& event, bool final);
    void removeMark();
    void describeBox();

    int m_restriction;
    std::string m_label;
    SavedAnswer m_saved;
    QPointer<FieldEdit> m_box;
    QPointer<ImageControl> m_mark;
};

} // namespace zx
