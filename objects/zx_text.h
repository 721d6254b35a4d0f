// A block of text on a page or a feedback panel: one word-wrapped,
// transparent label with one font, colour and alignment.  Texts marked as
// subtitles ("TextIsSubtitle" 1) exist only while Subtitles is on.
#pragma once

#include "objects/zx_object.h"

#include <QLabel>
#include <QPointer>



namespace zx {

class zxText : public zxObject {
public:
    zxText(QWidget* parentWindow, std::string record, PageContext context = {});
    ~zxText() override;

    int layer() const { return m_layer; }
    // Null until the first successful showLayer and after releaseControls.
    QLabel* label() const { return m_label.data(); }

    // Shows the text on `parent` when its feedback id is `feedbackId`.
    void showFor(int layer, QWidget* parent, const std::string& feedbackId);
    // Creates the label if needed and applies the whole record; only for
    // the text's own layer, or any layer when `layer` is negative.
    void showLayer(int layer);
    void releaseControls();

private:
    int m_layer;
    QPointer<QLabel> m_label;
};

} // namespace zx
