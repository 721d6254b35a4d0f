// Small builders of the tagged text that tests feed to the player: page
// objects and whole question pages.  Keys and their spelling are those of
// the stored records.
#pragma once

#include <string>

namespace zx::testing {

// "<key>value</key>".
inline std::string element(const std::string& key, const std::string& value)
{
    return "<" + key + ">" + value + "</" + key + ">";
}

// A text object of the page itself (feedback id "0") with `extra` keys.
inline std::string textObject(const std::string& text, const std::string& extra = {})
{
    return element("zxText", element("zxString", text) + extra + element("feedback", "0"));
}

// A question page of the given window size holding one text object, then
// `extra` (more objects, page keys).
inline std::string questionPage(const std::string& text, const std::string& extra = {}, int windowSize = 1)
{
    return element("windowSize", std::to_string(windowSize)) + textObject(text) + extra;
}

} // namespace zx::testing
