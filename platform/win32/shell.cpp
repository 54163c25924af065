#include <mensurel/win32/shell.h>

// clang-format off
#include <initguid.h> // defines PROPID_ACC_NAME and the service's ids here
#include <oleacc.h>
// clang-format on
#include <shellapi.h>

namespace mensurel::win32 {

bool shellOpen(const std::wstring& address)
{
    SHELLEXECUTEINFOW launch {};
    launch.cbSize = sizeof launch;
    // No shell error dialogs: the caller tells the user itself.
    launch.fMask = SEE_MASK_FLAG_NO_UI;
    launch.lpVerb = L"open";
    launch.lpFile = address.c_str();
    launch.nShow = SW_SHOWMINNOACTIVE;
    return ShellExecuteExW(&launch) != FALSE;
}

namespace {

bool annotate(
    IAccPropServices* services, HWND control, const MSAAPROPID& property, const std::wstring& text)
{
    if (!services || !control) return false;
    MSAAPROPID properties[] = { property };
    const HRESULT result = text.empty()
        ? services->ClearHwndProps(
              control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties, 1)
        : services->SetHwndPropStr(
              control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, text.c_str());
    return SUCCEEDED(result);
}

} // namespace

AccessibleText::AccessibleText()
{
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
            IID_IAccPropServices, reinterpret_cast<void**>(&services_))))
        services_ = nullptr;
}

AccessibleText::~AccessibleText()
{
    if (services_) services_->Release();
}

bool AccessibleText::setName(HWND control, const std::wstring& name)
{
    return annotate(services_, control, PROPID_ACC_NAME, name);
}

bool AccessibleText::setDescription(HWND control, const std::wstring& description)
{
    return annotate(services_, control, PROPID_ACC_DESCRIPTION, description);
}

} // namespace mensurel::win32
