// The Qt side of importing: text measured with the fonts the player draws
// with (QFontMetrics, the same word wrap as the player's labels), pictures
// decoded and converted to what the player shows, and the button pictures
// drawn.  Needs a QGuiApplication (the offscreen platform will do).
#pragma once

#include "tools/bankimport/bank_import.h"

#include <map>
#include <memory>

class QFontMetrics;

namespace zx::import {

class QtTextMeasurer : public TextMeasurer {
public:
    QtTextMeasurer();
    ~QtTextMeasurer() override;
    int height(const std::string& utf8, const TextStyle& style, int width) const override;
    int width(const std::string& utf8, const TextStyle& style) const override;

private:
    const QFontMetrics& metrics(const TextStyle& style) const;
    mutable std::map<int, std::unique_ptr<QFontMetrics>> m_metrics;
};

class QtImportMedia : public ImportMedia {
public:
    std::optional<PreparedPicture> preparePicture(const std::string& bytes, std::string& why) override;
    std::vector<std::pair<std::string, std::string>> drawnPictures() override;
};

// Pictures larger than this are scaled down when converted.
inline constexpr int largestPictureSide = 1024;

} // namespace zx::import
