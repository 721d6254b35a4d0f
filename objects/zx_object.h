// The base of every page object: the window it draws on, its record (the
// tagged text inside its page element) and what it needs from the main
// window.  Each kind adds its layer and controls and its own showFor,
// showLayer and releaseControls; nothing is virtual but the destructor.
//
// Life of an object: the page builder constructs it (no control yet) and
// shows it with showFor layer by layer.  The object owns the controls it
// made: releaseControls frees them (the page calls it in its leave order)
// and the destructor frees whatever is left.
//
// The main window also keeps one plain zxObject as the receiver of the
// shared services (loadPictureFile, attentionFrame).
#pragma once

#include "objects/page_context.h"

#include <QPointer>
#include <QWidget>

#include <string>

namespace zx {

class ImageControl;

class zxObject {
public:
    zxObject(QWidget* parentWindow, std::string record, PageContext context = {});
    virtual ~zxObject();

    zxObject(const zxObject&) = delete;
    zxObject& operator=(const zxObject&) = delete;

    // The window on which the object creates its controls: the main window
    // (or its page area) until showFor hands it another control, such as a
    // feedback panel.
    QWidget* parentWindow() const { return m_parentWindow; }
    const std::string& record() const { return m_record; }
    void setRecord(std::string record) { m_record = std::move(record); }
    const PageContext& context() const { return m_context; }

    // The record's feedback id: "0" for an object of the page itself, any
    // other value for one shown only inside the feedback panel of that id.
    std::string feedbackId() const;

    // Services.
    static void loadPictureFile(ImageControl& image, const std::string& path);
    void attentionFrame(int left, int top, QWidget* parent, int height, int width) const;

protected:
    // The first half of every showFor: true when the record's feedback id
    // equals `feedbackId` exactly, and then `parent` becomes the parent
    // window.  A record without feedback id matches nothing.
    bool takeParentFor(QWidget* parent, const std::string& feedbackId);

    // Parents `control` to the parent window when it lives elsewhere (an
    // object shown again on another panel keeps its controls).
    void adoptControl(QWidget* control) const;

    QPointer<QWidget> m_parentWindow;
    std::string m_record;
    PageContext m_context;
};

} // namespace zx
