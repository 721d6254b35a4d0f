// Colour texts as pages and records write them: a toolkit colour name
// ("clRed", "clBtnFace", ...) or a number in decimal or as "$" + hex, whose
// value is 0x00BBGGRR.  System colours (0x80000000 + index) stay symbolic so
// the front end can map them to its palette.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zx {

struct Colour {
    std::uint32_t value = 0; // 0x00BBGGRR, 0x800000ii (system), clNone, clDefault

    static constexpr std::uint32_t noneValue = 0x1FFFFFFFu;
    static constexpr std::uint32_t defaultValue = 0x20000000u;
    static constexpr std::uint32_t systemBase = 0x80000000u;

    bool isSystem() const { return (value & 0xFF000000u) == systemBase; }
    int systemIndex() const { return static_cast<int>(value & 0xFFu); }
    bool isNone() const { return value == noneValue; }
    bool isDefault() const { return value == defaultValue; }
    bool isRgb() const { return (value & 0xFF000000u) == 0; }
    int red() const { return static_cast<int>(value & 0xFFu); }
    int green() const { return static_cast<int>((value >> 8) & 0xFFu); }
    int blue() const { return static_cast<int>((value >> 16) & 0xFFu); }

    static constexpr Colour rgb(int r, int g, int b)
    {
        return Colour{static_cast<std::uint32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16))};
    }
    friend bool operator==(Colour, Colour) = default;
};

// System colour indices (Colour::systemBase + index).
enum class SystemColour : int {
    ScrollBar = 0, Background = 1, ActiveCaption = 2, InactiveCaption = 3, Menu = 4,
    Window = 5, WindowFrame = 6, MenuText = 7, WindowText = 8, CaptionText = 9,
    ActiveBorder = 10, InactiveBorder = 11, AppWorkSpace = 12, Highlight = 13,
    HighlightText = 14, BtnFace = 15, BtnShadow = 16, GrayText = 17, BtnText = 18,
    InactiveCaptionText = 19, BtnHighlight = 20, DkShadow3D = 21, Light3D = 22,
    InfoText = 23, InfoBk = 24, HotLight = 26, GradientActiveCaption = 27,
    GradientInactiveCaption = 28, MenuHighlight = 29, MenuBar = 30
};

constexpr Colour systemColour(SystemColour c)
{
    return Colour{Colour::systemBase + static_cast<std::uint32_t>(c)};
}

// A name (case-insensitive, as the toolkit reads them) or a number; nothing
// for any other text.  Never throws.
std::optional<Colour> colourFromText(std::string_view text);

// The toolkit name of a colour when it has one, else "$" + 8 hex digits.
std::string colourToText(Colour colour);

} // namespace zx
