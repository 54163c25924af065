#include <mensurel/win32/settings.h>

#include <mensurel/ui/design.h>
#include <mensurel/win32/text.h>

#include <windows.h>

namespace mensurel::win32 {

namespace {

constexpr wchar_t kPlaceValue[] = L"WindowPlace";

std::wstring settingsKey()
{
    return L"Software\\" + widen(ui::windowDesign().title);
}

} // namespace

std::optional<std::string> loadPlaceSetting()
{
    const std::wstring key = settingsKey();
    DWORD bytes = 0;
    // RRF_RT_REG_SZ: a value of another type is not read.
    if (RegGetValueW(
            HKEY_CURRENT_USER, key.c_str(), kPlaceValue, RRF_RT_REG_SZ, nullptr, nullptr, &bytes)
        != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text((bytes / sizeof(wchar_t)) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), kPlaceValue, RRF_RT_REG_SZ, nullptr,
            text.data(), &bytes)
        != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return narrow(text);
}

void savePlaceSetting(const std::string& text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE,
            nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    const std::wstring value = widen(text);
    RegSetValueExW(key, kPlaceValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

} // namespace mensurel::win32
