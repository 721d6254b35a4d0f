// A picture on a page or a feedback panel, with optional images for the
// pointer resting over it and for a button held down on it, an optional
// click sound, and one action: a picture named "starttest" starts the test
// when clicked while the pre-test pages are shown.  Such a picture also
// takes the keyboard focus and starts the test on Space or Enter, as a
// click; screen readers hear it as a button, any other picture as a
// graphic named by `PictureName`.
#pragma once

#include "objects/image_control.h"
#include "objects/zx_object.h"

#include <QPointer>

#include <functional>

namespace zx {



class zxPicture : public zxObject {
public:
    using Resolver = std::function<std::string(const std::string&)>;

    zxPicture(QWidget* parentWindow, std::string record, PageContext context = {});
    ~zxPicture() override;

    int layer() const { return m_layer; }
    ImageControl* normalImage() const { return m_normal.data(); }
    ImageControl* overImage() const { return m_over.data(); }
    ImageControl* downImage() const { return m_down.data(); }
    // The click sound's resolved path, or "0" for none.
    const std::string& audioPath() const { return m_audioPath; }

    // Shows the picture on `parent` when its feedback id is `feedbackId`;
    // file names are resolved with `resolveBankFile` (the context's
    // resolver in the three-argument form).
    void showFor(int layer, QWidget* parent, const std::string& feedbackId, Resolver resolveBankFile);
    void showFor(int layer, QWidget* parent, const std::string& feedbackId);
    // Creates the images that have files and applies the whole record;
    // only for the picture's own layer, or any layer when `layer` is
    // negative.
    void showLayer(int layer);
    void releaseControls();

    // The pointer is over the bare window: the over image goes away.
    void hideOverImage();

    // What the pointer does on any of the three images.
    void pictureClick();
    void showOverImage();
    void showDownImage();
    void hideDownImage();

    // Whether clicking the picture starts the test now.
    bool startsTheTest() const;

private:
    void describeNormalImage();
    std::string resolve(const std::string& storedName) const;
    void placeImage(QPointer<ImageControl>& image, const std::string& path);

    QPointer<ImageControl> m_normal;
    QPointer<ImageControl> m_over;
    QPointer<ImageControl> m_down;
    std::string m_audioPath;
    int m_layer;
    Resolver m_resolve;
};

} // namespace zx
