// UTF-8 (the design tables, the core) to UTF-16 (the Win32 API) and back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace mensurel::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The text of a window or control, UTF-8.
std::string windowText(HWND window);

} // namespace mensurel::win32
