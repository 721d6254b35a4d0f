// A choice button (`buttonType` 0: selected or not) or a true/false button
// (`buttonType` 1: one picture whose left half answers true and whose
// right half answers false; choice_rules.h has the halves).  The button
// draws itself from its state pictures (s1..s3 or tf1..tf7, all at
// `buttonLeft`, `buttonTop`, later pictures above earlier ones) and tells
// the page through its selected and deselected handlers, which keep the
// page's selection limit.  Once the test is finished a press is refused
// with message 83 and nothing changes.
//
// The base picture takes the keyboard focus: the keys of answer_keys.h
// answer through the pointer's own handlers (a press and a release on the
// half the key stands for), so sounds, the selection limit and the
// refusal once the test is finished are the same.  Screen readers learn
// the button's name (the page text beside it, else `ButtonName`), its kind
// and its state.
#pragma once

#include "objects/core/test_state.h"
#include "objects/core/choice_rules.h"
#include "objects/image_control.h"
#include "objects/zx_object.h"

#include <QPointer>

#include <array>
#include <functional>
#include <string>

class QKeyEvent;
class QMouseEvent;

namespace zx {

struct ScoreTally;

class zxButton : public zxObject {
public:
    using Resolver = std::function<std::string(const std::string&)>;
    // Bound by the page to this button; never given the button itself, so
    // nothing outlives a page through them.
    using Handler = std::function<void()>;

    static constexpr int maxPictures = 7;

    // Stores the record and reads `ButtonLayer` (default 6); no pictures yet.
    zxButton(QWidget* parentWindow, std::string record, PageContext context = {});
    ~zxButton() override;

    int layer() const { return m_layer; }
    ButtonKind kind() const { return m_kind; }
    // Choice: 0 not selected, 1 selected.  True/false: 0 no answer, 1 true,
    // 2 false.
    int state() const { return m_state; }
    int halfWidth() const { return m_halfWidth; }
    // Picture n (1 = the base picture, up to 3 or 7), or null.
    ImageControl* picture(int n) const;
    ImageControl* markPicture() const { return m_mark.data(); }
    // The resolved sound of ButtonSound1..3, or "0" for none.
    const std::string& soundPath(int n) const { return m_sounds.at(static_cast<std::size_t>(n - 1)); }

    // Builds the pictures in the pass of the button's own layer (or any
    // layer when `layer` is negative), then shows the stored answer.
    void buildVisuals(int layer, TestState state, Handler onSelected, Handler onDeselected,
                      Resolver resolveBankFile);
    void buildVisuals(int layer, TestState state, Handler onSelected, Handler onDeselected);
    // Shows the pictures of the current state and tells the handlers.
    void applyState();
    // Forced deselection (the page's selection limit).
    void clearSelection();
    // The pointer is over the bare window.
    void hideHover();
    // The record with the state as `userAnswer`, as a complete
    // "<zxButton>...</zxButton>" element and CR LF.
    std::string writeAnswer();
    // Adds this button's marks to `totals`; a tick or a cross beside a
    // selected button.
    void markAnswer(const ImageControl* tick, const ImageControl* cross, ScoreTally& totals);
    // Shows the correct answer (Cheat held); the state does not change.
    void showAnswer();
    void releaseControls();

    // The pointer on any of the pictures, x from the picture's left edge.
    void pointerMove(int x);
    void pointerDown(int x);
    void pointerUp(int x);
    // A key on the focused button; true when it answered (or was refused).
    bool keyDown(const QKeyEvent& event, bool final);

    // The text a screen reader names the button by (Windows-1252): the
    // page text beside it, set by the page; empty for `ButtonName`.
    void setLabel(std::string label) { m_label = std::move(label); }
    // The button's name for screen readers.
    std::string accessibleName() const;

private:
    AccessibleInfo accessibleInfo(bool final) const;
    int pictureCount() const;
    void show(int n, bool on);
    void play(int n);
    void removeMark();
    void selected();
    void deselected();

    int m_layer;
    ButtonKind m_kind = ButtonKind::Choice;
    int m_state = 0;
    int m_halfWidth = 50;
    std::array<QPointer<ImageControl>, maxPictures> m_pictures;
    QPointer<ImageControl> m_mark;
    std::array<std::string, 3> m_sounds{"0", "0", "0"};
    Handler m_onSelected;
    Handler m_onDeselected;
    std::string m_label;
};

} // namespace zx
