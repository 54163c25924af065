// The program's settings on Linux: an INI file in the user's configuration
// folder ($XDG_CONFIG_HOME, else ~/.config), Mensurel/Mensurel.ini, written
// only when the window closes.
#pragma once

#include <optional>
#include <string>

namespace mensurel::qt {

// The window's place when it last closed, as stored ("place" in the
// "window" group); nothing when none is kept or the file cannot be read.
std::optional<std::string> loadPlaceSetting();

// Keeps the window's place. A folder that cannot be written loses it
// silently: the position is a convenience, never worth an error.
void savePlaceSetting(const std::string& text);

} // namespace mensurel::qt
