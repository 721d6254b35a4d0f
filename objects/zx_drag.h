// A draggable item: a picture (with optional pointer-over and dragging
// pictures) or, when `dragFilePathAbs` is exactly "0", a push button with
// the caption `DragName`.  The candidate drags it onto one of up to 100
// targets (drag_targets.h); on release it snaps to the centre of the first
// target it overlaps or glides home (drop_rules.h decides).  The page keeps
// its limit on placed items through the placed and removed handlers and
// answers whether an area is taken by another item.  Once the test is
// finished a press is refused with message 83.
//
// Every glide runs step by step inside the call that starts it; after each
// step the context's glideStep runs (a repaint by default).
//
// The visual takes the keyboard focus.  Space picks the item up as a press
// of the pointer does; the arrows (and Tab while it is held) show it on
// each target in turn, centred there; Enter (or Space) puts it down where
// it is shown, exactly as a pointer released there; Escape sends it home
// as a release away from every target does.  Screen readers learn its
// name and the target it sits on, or is shown on while held.
#pragma once

#include "objects/core/test_state.h"
#include "objects/core/drag_targets.h"
#include "objects/core/drop_rules.h"
#include "objects/drag_button.h"
#include "objects/image_control.h"
#include "objects/zx_object.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QKeyEvent;
class QMouseEvent;

namespace zx {

struct ScoreTally;

class zxDrag : public zxObject {
public:
    using Resolver = std::function<std::string(const std::string&)>;

    // Bound by the page to this item, so nothing outlives a page through
    // them.  isAreaTaken answers whether the rectangle overlaps another of
    // the page's items.
    struct Handlers {
        std::function<void()> onPlaced;
        std::function<void()> onRemoved;
        AreaTakenQuery isAreaTaken;
    };

    // Stores the record; no target is defined and the item is not placed.
    zxDrag(QWidget* parentWindow, std::string record, PageContext context = {});
    ~zxDrag() override;

    // Builds the controls, reads the targets and the stored answer and puts
    // the item there.
    void buildVisuals(TestState state, Handlers handlers, Resolver resolveBankFile);
    void buildVisuals(TestState state, Handlers handlers);

    // The picture if there is one, else the button; null when neither.
    QWidget* visual() const;
    ImageControl* picture() const { return m_picture.data(); }
    ImageControl* overPicture() const { return m_over.data(); }
    ImageControl* dragPicture() const { return m_dragging.data(); }
    DragButton* button() const { return m_button.data(); }
    ImageControl* markPicture() const { return m_mark.data(); }
    const DragTargets& targets() const { return m_targets; }
    // The target the item sits on, -1 for none.
    int placedIndex() const { return m_placed; }
    int currentMark() const { return m_currentMark; }
    bool isDragging() const { return m_draggingNow; }
    // Picked up with the keyboard and not yet put down.
    bool isHeldByKeyboard() const { return m_keyHeld; }
    // The visual's rectangle on the page (all zero without a visual).
    ItemRect rect() const;
    Position home() const;

    // Glides the item to (x, y).  False when the item was freed while it
    // moved (nothing of it may be touched then).
    bool moveTo(int x, int y);
    // The pointer is over the bare window.
    void hideHover();
    // The record with the placed index as `userAnswer`, as a complete
    // "<zxDrag>...</zxDrag>" element and CR LF.
    std::string writeAnswer();
    // Adds this item's marks to `totals`; a tick or a cross beside a placed
    // item.
    void markAnswer(const ImageControl* tick, const ImageControl* cross, ScoreTally& totals);
    // Moves the item onto its best target (Cheat held); the answer stays.
    void showAnswer();
    // Moves the item back where the candidate put it.
    void restoreAnswer();
    // Forced removal (the page's placement limit).
    void clearPlacement();
    void releaseControls();

    // The pointer on one of the item's controls, at `at` in the page's
    // coordinates.
    void pointerDown(QPoint at);
    void pointerMove(QPoint at);
    void pointerUp();
    // A key on the focused item; true when it was used (or refused).
    bool keyDown(const QKeyEvent& event, bool final);

    // The item's name for screen readers (Windows-1252): `DragName`, else
    // the name of its kind.
    std::string accessibleName() const;
    // The name of target `index` as the candidate hears it: its own name,
    // else its number counted from 1.
    std::string targetName(int index) const;

private:
    template <typename Control>
    void attachKeyboard(Control* control, bool final);
    AccessibleInfo accessibleInfo(bool final) const;
    void beginDrag(QPoint grab);
    // Glides to where `outcome` says and records it (placed or removed);
    // false when the item was freed while it moved.
    bool settle(const DropOutcome& outcome);
    void keyPickUp();
    void keyStep(int direction);
    bool keySendHome();
    void endKeyHold();
    // A held item that loses the focus goes back where it was.
    void keyLetGo();
    void placeImage(QPointer<ImageControl>& image, const std::string& path, TestState state);
    void attachPointer(QWidget* control, TestState state, std::function<void(QMouseEvent&)>& move,
                       std::function<void(QMouseEvent&)>& down, std::function<void(QMouseEvent&)>& up);
    void moveControls(QPoint to);
    void restoreCursor();
    void removeMark();
    void placed();
    void removed();
    bool mayOverlap() const;
    int notSelectedMark() const;

    QPointer<ImageControl> m_picture;
    QPointer<DragButton> m_button;
    bool m_draggingNow = false;
    DragTargets m_targets;
    int m_currentMark = 0;
    int m_placed = -1;
    QPoint m_grab;
    QPointer<ImageControl> m_mark;
    QPointer<ImageControl> m_over;
    QPointer<ImageControl> m_dragging;
    Handlers m_handlers;
    bool m_cursorSet = false;
    bool m_keyHeld = false;
    QPoint m_keyFrom;
    int m_keyStop = -1; // the target a held item is shown on, -1 none
    // Expires with the object: a glide checks it after every step.
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

} // namespace zx
