#include "objects/zx_object.h"

#include "objects/attention_frame.h"
#include "objects/picture_loader.h"
#include "tagtext/tagged_text.h"

namespace zx {

zxObject::zxObject(QWidget* parentWindow, std::string record, PageContext context)
    : m_parentWindow(parentWindow)
    , m_record(std::move(record))
    , m_context(std::move(context))
{
}

zxObject::~zxObject() = default;

std::string zxObject::feedbackId() const { return getTag(m_record, "feedback"); }

bool zxObject::takeParentFor(QWidget* parent, const std::string& feedbackId)
{
    // getTag gives "" for a record without the key; such an object belongs
    // to no page and no panel, even one whose own id is empty.
    if (feedbackId.empty() || parent == nullptr || getTag(m_record, "feedback") != feedbackId)
        return false;
    m_parentWindow = parent;
    return true;
}

void zxObject::adoptControl(QWidget* control) const
{
    if (control != nullptr && m_parentWindow && control->parentWidget() != m_parentWindow.data())
        control->setParent(m_parentWindow.data());
}

void zxObject::loadPictureFile(ImageControl& image, const std::string& path)
{
    zx::loadPictureFile(image, path);
}

void zxObject::attentionFrame(int left, int top, QWidget* parent, int height, int width) const
{
    zx::attentionFrame(left, top, parent, height, width, m_context.wait);
}

} // namespace zx
