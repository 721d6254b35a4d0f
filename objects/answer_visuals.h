// Small pieces shared by the answer objects (fields, choice buttons and
// draggable items): the tick or cross shown beside a marked answer, the
// refusal of every change once the test is finished, and the safe release
// of a control whose own handler may be running.
#pragma once

#include "objects/core/test_state.h"
#include "objects/core/answer_marks.h"
#include "objects/page_context.h"

#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>

namespace zx {

class ImageControl;

// The test is scored or its results are stored: answers are read-only.
constexpr bool answersAreFinal(TestState state)
{
    return state == TestState::Finished || state == TestState::ResultsStored;
}

// Announces message 83 through the context (the main window shows its text).
void refuseAnswerChange(const PageContext& context);

// Shows the tick (MarkSign::Tick) or the cross (anything else) in `mark`,
// creating it on `parent` when absent: a transparent copy of the tick or
// cross picture at its natural size, with its top-left corner where
// `place` puts it for that size.  The mark lets the pointer through to
// whatever lies below.
void showMarkPicture(QPointer<ImageControl>& mark, QWidget* parent, MarkSign sign, const ImageControl* tick,
                     const ImageControl* cross, const std::function<QPoint(QSize)>& place);

// Destroys the tick or cross, if any.
void removeMarkPicture(QPointer<ImageControl>& mark);

// The same for any other control (the caller forgets its reference and
// drops the control's handlers itself).
void releaseWidget(QWidget* widget);

} // namespace zx
