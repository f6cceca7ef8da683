#include "announcer.h"

#include <ole2.h>
#include <oleacc.h>

#include "window_text.h"

namespace zorbalin::win32 {

namespace {

// The annotation service of oleacc and the properties it is given, spelled out here, since
// MinGW's import libraries do not define them all.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kRoleProperty = {0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};
// UI Automation's LiveSetting, and its value Polite: read once the reader is done speaking.
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
// EVENT_OBJECT_LIVEREGIONCHANGED, which Windows 8 brought (Windows 7 lets it pass unheard).
constexpr DWORD kLiveRegionChanged = 0x8019;

VARIANT numberVariant(LONG value) {
    VARIANT variant{};
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}

constexpr MSAAPROPID kMarks[] = {kRoleProperty, kLiveSettingProperty};

}  // namespace

Announcer::~Announcer() {
    if (services_ != nullptr) {
        // The service keeps the marks until they are cleared, the label gone or not.
        services_->ClearHwndProps(label_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kMarks, 2);
        services_->Release();
    }
    if (comInitialized_) CoUninitialize();
}

// Marks the label as an alert and a live region, where the system has the service.
void Announcer::markForScreenReaders() {
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kAccPropServicesInterface,
                                reinterpret_cast<void**>(&services_)))) {
        services_ = nullptr;
        return;
    }
    const DWORD client = static_cast<DWORD>(OBJID_CLIENT);
    services_->SetHwndProp(label_, client, CHILDID_SELF, kRoleProperty, numberVariant(ROLE_SYSTEM_ALERT));
    services_->SetHwndProp(label_, client, CHILDID_SELF, kLiveSettingProperty, numberVariant(kPolite));
}

void Announcer::attach(HWND window) {
    // The annotation service is a COM object; the window's thread is a single-threaded
    // apartment, as the common dialogs want it.
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, window,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (label_ != nullptr && comInitialized_) markForScreenReaders();
}

void Announcer::announce(std::u16string_view text) {
    if (label_ == nullptr || !setWindowText(label_, text)) return;
    NotifyWinEvent(kLiveRegionChanged, label_, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_SYSTEM_ALERT, label_, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace zorbalin::win32
