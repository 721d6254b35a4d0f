// The one meeting point of the player's byte strings and Qt: tagged text
// (Windows-1252 bytes) to and from QString, file names (the system's 8-bit
// file-name encoding) to and from QString, and record colours to QColor.
// Every conversion between std::string and QString goes through here.
#pragma once

#include "tagtext/colour.h"

#include <QColor>
#include <QPalette>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace zx {

// Every byte becomes its Windows-1252 character (the five unassigned bytes
// become U+0081 and so on, so nothing is lost).
QString cp1252ToQString(std::string_view bytes);
// Characters without a Windows-1252 byte become `replacement`.
std::string qStringToCp1252(const QString& text, char replacement = '?');
// Windows-1252 text for a widget, with its line breaks as single LF (the
// messages and captions of the language files hold CR LF).
QString widgetText(std::string_view cp1252);

// UTF-8 text (reports, file names typed by people) to and from QString.
QString utf8ToQString(std::string_view utf8);
std::string qStringToUtf8(const QString& text);

// A path as the file system takes it, and back.
std::string localPath(const QString& path);
QString pathFromLocal(std::string_view path);

// The desktop colour, which has no palette role.
inline constexpr QRgb desktopBackgroundRgb = 0xFF3A6EA5u;

// The colour to draw for a record colour.  System colours come from
// `palette`; clNone is fully transparent; clDefault gives `defaultColour`.
QColor toQColor(Colour colour, const QPalette& palette, const QColor& defaultColour);
// The same with the application palette and black as the default.
QColor toQColor(Colour colour);

// A colour text of a record ("clRed", "$0000FF", "255", "clBtnFace") as a
// QColor; nothing when the text is no colour.
std::optional<QColor> colourFromRecordText(std::string_view text, const QPalette& palette,
                                           const QColor& defaultColour);

} // namespace zx
