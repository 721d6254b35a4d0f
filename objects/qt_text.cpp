#include "objects/qt_text.h"

#include "tagtext/cp1252.h"
#include "tagtext/tagged_text.h"

#include <QFile>

#include <QGuiApplication>

namespace zx {

QString cp1252ToQString(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        // Every Windows-1252 character lies in the basic plane.
        text.append(QChar(static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(byte)))));
    }
    return text;
}

std::string qStringToCp1252(const QString& text, char replacement)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        if (ch.isSurrogate()) {
            // A character outside the basic plane: one replacement for the
            // pair, written at its high half.
            if (ch.isHighSurrogate())
                bytes += replacement;
            continue;
        }
        const auto byte = unicodeToCp1252(ch.unicode());
        bytes += byte ? static_cast<char>(*byte) : replacement;
    }
    return bytes;
}

QString widgetText(std::string_view cp1252) { return cp1252ToQString(withLfBreaks(cp1252)); }

QString utf8ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string qStringToUtf8(const QString& text) { return text.toStdString(); }

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString pathFromLocal(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

namespace {

QColor systemColour(int index, const QPalette& palette)
{
    using R = QPalette::ColorRole;
    auto role = [&](R r) { return palette.color(QPalette::Active, r); };
    switch (static_cast<SystemColour>(index)) {
    case SystemColour::ScrollBar: return role(R::Midlight);
    case SystemColour::Background: return QColor::fromRgb(desktopBackgroundRgb);
    case SystemColour::ActiveCaption: return role(R::Highlight);
    case SystemColour::InactiveCaption: return role(R::Mid);
    case SystemColour::Menu: return role(R::Window);
    case SystemColour::Window: return role(R::Base);
    case SystemColour::WindowFrame: return role(R::Shadow);
    case SystemColour::MenuText: return role(R::WindowText);
    case SystemColour::WindowText: return role(R::Text);
    case SystemColour::CaptionText: return role(R::HighlightedText);
    case SystemColour::ActiveBorder: return role(R::Button);
    case SystemColour::InactiveBorder: return role(R::Button);
    case SystemColour::AppWorkSpace: return role(R::Dark);
    case SystemColour::Highlight: return role(R::Highlight);
    case SystemColour::HighlightText: return role(R::HighlightedText);
    case SystemColour::BtnFace: return role(R::Button);
    case SystemColour::BtnShadow: return role(R::Dark);
    case SystemColour::GrayText: return palette.color(QPalette::Disabled, R::Text);
    case SystemColour::BtnText: return role(R::ButtonText);
    case SystemColour::InactiveCaptionText: return palette.color(QPalette::Inactive, R::WindowText);
    case SystemColour::BtnHighlight: return role(R::Light);
    case SystemColour::DkShadow3D: return role(R::Shadow);
    case SystemColour::Light3D: return role(R::Light);
    case SystemColour::InfoText: return role(R::ToolTipText);
    case SystemColour::InfoBk: return role(R::ToolTipBase);
    case SystemColour::HotLight: return role(R::Link);
    case SystemColour::GradientActiveCaption: return role(R::Highlight);
    case SystemColour::GradientInactiveCaption: return role(R::Mid);
    case SystemColour::MenuHighlight: return role(R::Highlight);
    case SystemColour::MenuBar: return role(R::Window);
    }
    // An index the system does not know draws black.
    return QColor(Qt::black);
}

} // namespace

QColor toQColor(Colour colour, const QPalette& palette, const QColor& defaultColour)
{
    if (colour.isSystem())
        return systemColour(colour.systemIndex(), palette);
    if (colour.isNone())
        return QColor(Qt::transparent);
    if (colour.isDefault())
        return defaultColour;
    // Plain 0x00BBGGRR, and the palette-relative forms (high byte 1 or 2),
    // which carry their colour in the same low three bytes.
    return QColor(colour.red(), colour.green(), colour.blue());
}

QColor toQColor(Colour colour)
{
    return toQColor(colour, QGuiApplication::palette(), QColor(Qt::black));
}

std::optional<QColor> colourFromRecordText(std::string_view text, const QPalette& palette,
                                           const QColor& defaultColour)
{
    const auto colour = colourFromText(text);
    if (!colour)
        return std::nullopt;
    return toQColor(*colour, palette, defaultColour);
}

} // namespace zx
