#include "objects/zx_picture.h"

#include "objects/answer_keys.h"
#include "objects/image_control.h"
#include "objects/picture_loader.h"
#include "objects/qt_text.h"
#include "tagtext/cp1252.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace zx {

namespace {

// The name a screen reader gives the picture that starts the test.
constexpr int startPictureNameMessage = 136;

} // namespace

zxPicture::zxPicture(QWidget* parentWindow, std::string record, PageContext context)
    : zxObject(parentWindow, std::move(record), std::move(context))
    , m_layer(getTagInt(m_record, "PictureLayer", 6))
{
}

zxPicture::~zxPicture()
{
    releaseControls();
}

std::string zxPicture::resolve(const std::string& storedName) const
{
    return m_resolve ? m_resolve(storedName) : m_context.resolve(storedName);
}

void zxPicture::showFor(int layer, QWidget* parent, const std::string& feedbackId, Resolver resolveBankFile)
{
    if (!takeParentFor(parent, feedbackId))
        return;
    m_resolve = std::move(resolveBankFile);
    showLayer(layer);
}

void zxPicture::showFor(int layer, QWidget* parent, const std::string& feedbackId)
{
    showFor(layer, parent, feedbackId, m_context.resolveBankFile);
}

void zxPicture::showLayer(int layer)
{
    if (layer != m_layer && layer >= 0)
        return;

    m_audioPath.assign(1, '0'); // no sound
    const std::string audio = resolve(getTag(m_record, "picAudioAbs"));
    if (pictureFileExists(audio) && mediaHeaderMatches(audio))
        m_audioPath = audio;

    if (!m_parentWindow)
        return;
    const std::string normal = resolve(getTag(m_record, "picFilePathAbs"));
    const std::string over = resolve(getTag(m_record, "picOverFilePathAbs"));
    const std::string down = resolve(getTag(m_record, "picDownFilePathAbs"));
    // Raised in this order, the over image covers the normal one while it
    // shows, and the down image covers both.
    if (pictureFileExists(normal))
        placeImage(m_normal, normal);
    if (pictureFileExists(over))
        placeImage(m_over, over);
    if (pictureFileExists(down))
        placeImage(m_down, down);
    if (m_normal) {
        describeNormalImage();
        m_normal->show();
    }
    if (m_over)
        m_over->hide();
    if (m_down)
        m_down->hide();
}

void zxPicture::placeImage(QPointer<ImageControl>& image, const std::string& path)
{
    if (!image) {
        image = new ImageControl(m_parentWindow.data());
        zx::loadPictureFile(*image, path);
    } else {
        adoptControl(image);
    }
    ImageControl& control = *image;
    const int left = getTagInt(m_record, "PictureLeft", 0);
    const int top = getTagInt(m_record, "PictureTop", 0);

    control.onClick = [this] { pictureClick(); };
    control.onMouseMove = [this](QMouseEvent&) { showOverImage(); };
    control.onMouseDown = [this](QMouseEvent&) { showDownImage(); };
    control.onMouseUp = [this](QMouseEvent&) { hideDownImage(); };

    const int mode = getTagInt(m_record, "picPosition", 0);
    int width = getTagInt(m_record, "PictureWidth", 20);
    int height = getTagInt(m_record, "PictureHeight", 20);
    control.setStretch(mode == 2);
    control.setCenter(mode != 0 && mode != 1 && mode != 2);
    if (mode == 1 && control.hasPicture()) {
        // Natural size, remembered in the record for later shows.  An
        // empty picture keeps the record's size rather than wiping it.
        width = control.naturalSize().width();
        height = control.naturalSize().height();
        m_record = setTag(m_record, "PictureWidth", std::to_string(width));
        m_record = setTag(m_record, "PictureHeight", std::to_string(height));
    }
    control.setGeometry(left, top, width, height);
    control.show();
    control.raise();
}

void zxPicture::describeNormalImage()
{
    ImageControl& image = *m_normal;
    image.setFocusPolicy(startsTheTest() ? Qt::TabFocus : Qt::NoFocus);
    image.describe = [this] {
        AccessibleInfo info;
        info.role = startsTheTest() ? QAccessible::Button : QAccessible::Graphic;
        const std::string name = getTag(m_record, "PictureName");
        // A start picture's own name only marks it as one: the reader says
        // what it does.
        const std::string startName = startsTheTest() ? m_context.message(startPictureNameMessage) : std::string();
        if (!startName.empty())
            info.name = cp1252ToQString(startName);
        else if (name != "-empty45646-")
            info.name = cp1252ToQString(filterPlainText(name));
        return info;
    };
    image.onKeyDown = [this](QKeyEvent& event) {
        if (!startsTheTest() || answerKeyOf(AnswerObject::StartPicture, event) == AnswerKey::None)
            return false;
        if (!event.isAutoRepeat())
            pictureClick();
        return true;
    };
}

bool zxPicture::startsTheTest() const
{
    return m_context.currentTestState() == TestState::Ready
           && lowerCp1252(filterPlainText(getTag(m_record, "PictureName"))) == "starttest";
}

void zxPicture::releaseControls()
{
    releaseImage(m_normal);
    releaseImage(m_over);
    releaseImage(m_down);
}

void zxPicture::hideOverImage()
{
    if (m_over)
        m_over->hide();
}

void zxPicture::showOverImage()
{
    if (m_over)
        m_over->show();
}

void zxPicture::showDownImage()
{
    if (m_down)
        m_down->show();
}

void zxPicture::hideDownImage()
{
    if (m_down)
        m_down->hide();
}

void zxPicture::pictureClick()
{
    if (m_audioPath != "0" && m_context.playAudioFile)
        m_context.playAudioFile(m_audioPath);
    if (!startsTheTest())
        return;
    // The picture goes first: asking for the start may lead straight to
    // the first question, which releases this picture.
    if (m_normal)
        m_normal->hide();
    if (m_context.requestStart)
        m_context.requestStart();
}

} // namespace zx
