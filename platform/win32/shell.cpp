#include <mensurel/win32/shell.h>

#include <mensurel/win32/system.h>

// clang-format off
#include <initguid.h> // defines PROPID_ACC_NAME and the service's ids here
#include <oleacc.h>
// clang-format on
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>

namespace mensurel::win32 {

namespace {

// COM's entry points, taken from ole32 at their first use.
struct Com {
    decltype(&CoInitializeEx) initialize
        = systemFunction<decltype(CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    decltype(&CoUninitialize) uninitialize
        = systemFunction<decltype(CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    decltype(&CoCreateInstance) create
        = systemFunction<decltype(CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
};

const Com& com()
{
    static const Com functions;
    return functions;
}

// Sets `property` of `control`, or takes it off when `text` is empty.
void annotate(
    IAccPropServices* services, HWND control, const MSAAPROPID& property, const std::wstring& text)
{
    MSAAPROPID properties[] = { property };
    if (text.empty())
        services->ClearHwndProps(
            control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties, 1);
    else
        services->SetHwndPropStr(
            control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, text.c_str());
}

} // namespace

ComApartment::ComApartment()
    : entered_(com().initialize && com().uninitialize
          && SUCCEEDED(com().initialize(nullptr, COINIT_APARTMENTTHREADED)))
{
}

ComApartment::~ComApartment()
{
    if (entered_) com().uninitialize();
}

bool shellOpen(const std::wstring& address)
{
    static auto* const execute
        = systemFunction<decltype(ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
    if (!execute) return false;
    // The shell may hand the address to extensions that are COM objects.
    const ComApartment apartment;
    SHELLEXECUTEINFOW launch {};
    launch.cbSize = sizeof launch;
    // No shell error dialogs: the caller tells the user itself.
    launch.fMask = SEE_MASK_FLAG_NO_UI;
    launch.lpVerb = L"open";
    launch.lpFile = address.c_str();
    launch.nShow = SW_SHOWMINNOACTIVE;
    return execute(&launch) != FALSE;
}

AccessibleText::~AccessibleText()
{
    if (services_) services_->Release();
}

AccessibleText::Texts& AccessibleText::textsOf(HWND control)
{
    const auto known = std::ranges::find(controls_, control, &std::pair<HWND, Texts>::first);
    return known != controls_.end() ? known->second
                                    : controls_.emplace_back(control, Texts {}).second;
}

void AccessibleText::setName(HWND control, const std::wstring& name)
{
    if (!control) return;
    textsOf(control).name = name;
    if (services_) annotate(services_, control, PROPID_ACC_NAME, name);
}

void AccessibleText::setDescription(HWND control, const std::wstring& description)
{
    if (!control) return;
    textsOf(control).description = description;
    if (services_) annotate(services_, control, PROPID_ACC_DESCRIPTION, description);
}

void AccessibleText::provide()
{
    if (asked_) return;
    asked_ = true;
    com_.emplace();
    if (!com().create
        || FAILED(com().create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
            IID_IAccPropServices, reinterpret_cast<void**>(&services_)))) {
        services_ = nullptr;
        return;
    }
    for (const auto& [control, texts] : controls_) {
        if (!texts.name.empty()) annotate(services_, control, PROPID_ACC_NAME, texts.name);
        if (!texts.description.empty())
            annotate(services_, control, PROPID_ACC_DESCRIPTION, texts.description);
    }
}

} // namespace mensurel::win32
