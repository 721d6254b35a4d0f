// Builds a page from its tagged text: creates the page objects kind by kind
// (each kind in its own fixed-capacity table), shows them layer by layer,
// reveals and hides the objects of a feedback panel, and tears the page
// down again.  Independent of the main window: the page is built on any
// widget, which is how the headless page renderer uses it too.
#pragma once

#include "app/core/test_state.h"
#include "objects/page_context.h"

#include <array>
#include <memory>
#include <string>

class QPainter;
class QWidget;

namespace zx {

class ImageControl;
class zxBackground;
class zxPicture;
class zxShape;
class zxText;

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
    ImageControl* tickImage() const { return m_tick; }
    ImageControl* crossImage() const { return m_cross; }

    // Shows the objects whose feedback id is `code` on `parent`, layer by
    // layer; hides them again.
    void revealFeedback(const std::string& code, QWidget* parent);
    void hideFeedback(const std::string& code);

    // The pointer moved over the window itself, off every object.
    void pointerOverWindow();

    // Paints the page background (below every object).
    void paintBackground(QPainter& painter) const;

    // True when one of the page's pictures is named "StartTest" (in any
    // case, characters outside the plain set ignored).
    bool hasStartTestPicture() const;

    int textCount() const;
    int pictureCount() const;
    int shapeCount() const;
    zxText* text(int i) const { return m_texts[static_cast<std::size_t>(i)].get(); }
    zxPicture* picture(int i) const { return m_pictures[static_cast<std::size_t>(i)].get(); }
    zxShape* shape(int i) const { return m_shapes[static_cast<std::size_t>(i)].get(); }
    zxBackground* background() const { return m_background.get(); }

    QWidget* window() const { return m_window; }
    const PageContext& context() const { return m_context; }

private:
    QWidget* m_window;
    PageContext m_context;
    std::unique_ptr<zxBackground> m_background;
    std::array<std::unique_ptr<zxText>, textCapacity> m_texts;
    std::array<std::unique_ptr<zxPicture>, pictureCapacity> m_pictures;
    std::array<std::unique_ptr<zxShape>, shapeCapacity> m_shapes;
    ImageControl* m_tick = nullptr;
    ImageControl* m_cross = nullptr;
};

} // namespace zx
