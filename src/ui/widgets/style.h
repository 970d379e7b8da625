// The look the windows share: the panel font, the compact controls that fit the
// fixed layouts, the temperature colour, and the default font (GUI thread).
#pragma once

#include <gtkmm.h>

#include <string>

namespace flextor {

// Style classes.
inline constexpr const char* kPanelClass = "flextor-panel";  // FreeSans 12 bold
// Compact entries, buttons, drop-down lists and check boxes in the default font.
inline constexpr const char* kCompactClass = "flextor-compact";
inline constexpr const char* kTemperatureClass = "temperature";  // text in (0, 128, 192)
inline constexpr const char* kDefaultFontClass = "toolkit-default-font";

// Installs the program's style sheet on the default screen, once. The first call
// also remembers the toolkit's default font, so that controls marked with
// kDefaultFontClass keep it after UseDefaultFontForLaterWindows.
void InstallStyle();

// The font description as CSS declarations, numbers in the same form in every
// locale: "FreeSans 10" → font-family: "FreeSans"; font-size: 10pt; ...
std::string FontCss(const Pango::FontDescription& font);

// Makes FreeSans 10 the default font of every control created from now on.
void UseDefaultFontForLaterWindows();

}  // namespace flextor
