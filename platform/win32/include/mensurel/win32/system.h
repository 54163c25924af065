// Functions of system DLLs the program loads only when it first needs
// them, so that a start does not pay for them.
#pragma once

#include <windows.h>

namespace mensurel::win32 {

// The function `name` of the system DLL `dll`, which is loaded from the
// system folder (never from beside the program) and stays loaded; null
// when either is missing. `Function` is the function's type, as
// decltype(TheFunction) gives it from the system headers.
template<class Function> Function* systemFunction(const wchar_t* dll, const char* name)
{
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    // Through void (*)(), the function pointer type any other converts to
    // and from.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace mensurel::win32
