// Builds a page from its tagged text: creates the page objects kind by kind
// (each kind in its own fixed-capacity table), shows them layer by layer,
// reveals and hides the objects of a feedback panel, and tears the page
// down again.  Independent of the main window: the page is built on any
// widget, which is how the headless page renderer uses it too.
#pragma once

#include "objects/core/test_state.h"
#include "objects/core/drop_rules.h"
#include "objects/core/score_tally.h"
#include "objects/core/selection_queue.h"
#include "objects/focus_ring.h"
#include "objects/image_control.h"
#include "objects/owned_widget.h"
#include "objects/page_context.h"

#include <QPointer>
#include <QStringList>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QWidget;

namespace zx {

class zxBackground;
class zxButton;
class zxDrag;
class zxFeedback;
class zxField;
class zxPicture;
class zxShape;
class zxText;
class zxVideo;

class PageBuilder {
public:
    static constexpr int textCapacity = 60;
    static constexpr int pictureCapacity = 60;
    static constexpr int shapeCapacity = 60;
    static constexpr int fieldCapacity = 60;
    static constexpr int buttonCapacity = 60;
    static constexpr int dragCapacity = 60;
    static constexpr int videoCapacity = 5;
    static constexpr int feedbackCapacity = 20;

    // `window` is the page area the objects are created on.
    PageBuilder(QWidget* window, PageContext context);
    ~PageBuilder();

    PageBuilder(const PageBuilder&) = delete;
    PageBuilder& operator=(const PageBuilder&) = delete;

    // Creates and shows the objects of `pageText` for the test state.
    void buildPage(const std::string& pageText, TestState state);
    // Destroys every object of the page and the tick and cross images.
    void leavePage();

    // Loads the tick and cross pictures of a page (creating their hidden
    // image controls when absent).
    void loadTickAndCross(const std::string& pageText);
    ImageControl* tickImage() const { return m_tick.get(); }
    ImageControl* crossImage() const { return m_cross.get(); }

    // Shows the objects whose feedback id is `code` on `parent`, layer by
    // layer; hides them again.
    void revealFeedback(const std::string& code, QWidget* parent);
    void hideFeedback(const std::string& code);

    // Marks the page: every field, button and item adds its marks (ticks
    // and crosses beside answered objects), then the feedback panels choose
    // what to show for the totals under the bank settings.
    ScoreTally markPage(std::string_view bankSettings);
    // Cheat pressed: every answer object shows its correct answer; items
    // glide home first, then to their best targets.
    void showAnswers();
    // Cheat (or Help) released: the candidate's answers come back.
    void restoreAnswers();

    // The pointer moved over the window itself, off every object: the
    // pointer-over pictures of pictures, buttons and items go away.
    void pointerOverWindow();

    // The page text with the answers of the page on show: the zxButton,
    // zxField and zxDrag elements at the front are removed (up to 60 of a
    // kind, stopping at a value under 5 characters, and at least those the
    // page was built from), and the current record of every field, every
    // button and every item is appended as a complete element with CR LF;
    // removed elements that made no object are appended unchanged after
    // the records of their kind.
    std::string pageTextWithAnswers(const std::string& pageText) const;

    // The controls of the page that take the keyboard focus, in reading
    // order (rows top to bottom, each left to right): fields, choice and
    // true/false buttons, draggable items, a picture that starts the test
    // and the play bars of videos.  Tab walks them in this order.
    std::vector<QWidget*> focusOrder() const;
    // The texts on show (the page's and those of revealed feedback panels)
    // in reading order, as the candidate sees them.
    QStringList readingTexts() const;
    FocusRing* focusRing() const { return m_ring.get(); }

    // Paints the page background (below every object).
    void paintBackground(QPainter& painter) const;

    // True when one of the page's pictures is named "StartTest" (in any
    // case, characters outside the plain set ignored).
    bool hasStartTestPicture() const;

    int textCount() const;
    int pictureCount() const;
    int shapeCount() const;
    int fieldCount() const;
    int buttonCount() const;
    int dragCount() const;
    zxText* text(int i) const { return m_texts[static_cast<std::size_t>(i)].get(); }
    zxPicture* picture(int i) const { return m_pictures[static_cast<std::size_t>(i)].get(); }
    zxShape* shape(int i) const { return m_shapes[static_cast<std::size_t>(i)].get(); }
    zxBackground* background() const { return m_background.get(); }
    zxField* field(int i) const { return m_fields[static_cast<std::size_t>(i)].get(); }
    zxButton* button(int i) const { return m_buttons[static_cast<std::size_t>(i)].get(); }
    zxDrag* drag(int i) const { return m_drags[static_cast<std::size_t>(i)].get(); }
    zxVideo* video(int i) const { return m_videos[static_cast<std::size_t>(i)].get(); }
    zxFeedback* feedback(int i) const { return m_feedbacks[static_cast<std::size_t>(i)].get(); }
    int videoCount() const;
    int feedbackCount() const;

    // The selected buttons and the placed items of the page's selection
    // limit (`numSelections`), newest first, by slot number.  Both are
    // emptied whenever a page is built or left.
    SelectionQueue& selectionQueue() { return m_selectionQueue; }
    SelectionQueue& placementQueue() { return m_placementQueue; }

    // Whether `area` overlaps an item of the page other than the one in
    // `dragSlot` (items without a visual take no room).
    bool isAreaTaken(int dragSlot, const ItemRect& area) const;

    QWidget* window() const { return m_window; }
    const PageContext& context() const { return m_context; }

private:
    void onSelected(int buttonSlot);
    void onDeselected(int buttonSlot);
    void onPlaced(int dragSlot);
    void onRemoved(int dragSlot);
    // Names the fields and buttons after the page text beside them, and
    // puts the focusable controls in reading order under the focus ring.
    void prepareKeyboardAndReaders();
    QRect onPage(const QWidget* control) const;

    QWidget* m_window;
    PageContext m_context;
    std::unique_ptr<zxBackground> m_background;
    std::array<std::unique_ptr<zxText>, textCapacity> m_texts;
    std::array<std::unique_ptr<zxPicture>, pictureCapacity> m_pictures;
    std::array<std::unique_ptr<zxShape>, shapeCapacity> m_shapes;
    std::array<std::unique_ptr<zxField>, fieldCapacity> m_fields;
    std::array<std::unique_ptr<zxButton>, buttonCapacity> m_buttons;
    std::array<std::unique_ptr<zxDrag>, dragCapacity> m_drags;
    std::array<std::unique_ptr<zxVideo>, videoCapacity> m_videos;
    std::array<std::unique_ptr<zxFeedback>, feedbackCapacity> m_feedbacks;
    SelectionQueue m_selectionQueue;
    SelectionQueue m_placementQueue;
    // How many elements of each answer kind the page was built from, and
    // the values among them that made no object (kept for the page record).
    struct AnswerKindCounts {
        int fields = 0;
        int buttons = 0;
        int drags = 0;
    } m_consumed;
    struct AnswerKindValues {
        std::vector<std::string> fields;
        std::vector<std::string> buttons;
        std::vector<std::string> drags;
    } m_passedOver;
    // The record of the page on show, for its selection limit.
    std::string m_pageText;
    TestState m_state = TestState::NoTest;
    OwnedWidget<ImageControl> m_tick;
    OwnedWidget<ImageControl> m_cross;
    OwnedWidget<FocusRing> m_ring;
    std::vector<QPointer<QWidget>> m_focusOrder;
};

} // namespace zx
