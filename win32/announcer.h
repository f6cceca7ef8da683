// What a screen reader hears when a draw stops. Windows has no call that just says a text:
// a label of no size in the window holds it, marked for screen readers as an alert and a
// polite live region, and each announcement raises both events. NVDA and JAWS speak an alert
// object's name (NVDA only when its role is the alert's), Narrator the name of a live region
// that changed (UI Automation raises that for a window's EVENT_OBJECT_LIVEREGIONCHANGED once
// it is marked as one). A changed name of Text1 would be heard only while Text1 has the focus,
// which it has not when the user pressed the button or F5.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <string_view>

namespace zorbalin::win32 {

class Announcer final {
public:
    Announcer() = default;
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;
    ~Announcer();

    // Made in `window`, after its controls, so that it comes last in the order read; without
    // it (or without the marks, on a system that has no annotation service) nothing else fails.
    void attach(HWND window);
    void announce(std::u16string_view text);
    HWND label() const { return label_; }

private:
    void markForScreenReaders();

    HWND label_ = nullptr;
    IAccPropServices* services_ = nullptr;
    bool comInitialized_ = false;
};

}  // namespace zorbalin::win32
