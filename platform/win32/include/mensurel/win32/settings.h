// The program's settings on Windows: values under
// HKEY_CURRENT_USER\Software\Mensurel, written only when the window closes.
#pragma once

#include <optional>
#include <string>

namespace mensurel::win32 {

// The window's place when it last closed (the string value "WindowPlace");
// nothing when none is kept, or the value is not a string.
std::optional<std::string> loadPlaceSetting();

// Keeps the window's place. A key that cannot be written loses it
// silently: the position is a convenience, never worth an error.
void savePlaceSetting(const std::string& text);

} // namespace mensurel::win32
