#pragma once
// Tells a window of this process that the display went off, on or dim, as the
// system would (Wine accepts the registration but never sends these).
#include <windows.h>

#include <cstring>
#include <vector>

// Written out here rather than taken from the saver, so that a wrong GUID
// there fails the tests. The console display's state, Windows 8 on: 0 off, 1 on, 2 dimmed.
constexpr GUID display_state_setting{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// The monitors' power, Vista and 7: 0 off, 1 on.
constexpr GUID monitor_power_setting{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

enum DisplayState : DWORD { display_off = 0, display_on = 1, display_dimmed = 2 };

inline LRESULT tell_display(HWND window, DWORD state, const GUID& setting = display_state_setting) {
    std::vector<unsigned char> buffer(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
    auto* notice = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer.data());
    notice->PowerSetting = setting;
    notice->DataLength = sizeof(DWORD);
    std::memcpy(notice->Data, &state, sizeof state);
    return SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(notice));
}

// Handles the thread's messages, paints among them, for the milliseconds given
// or until the condition holds; true when it did.
template <typename Condition>
bool pump_until(DWORD milliseconds, Condition condition) {
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < milliseconds) {
        if (condition()) return true;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) DispatchMessageA(&message);
        } else {
            MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, 0);
        }
    }
    return condition();
}

inline void pump_for(DWORD milliseconds) {
    pump_until(milliseconds, [] { return false; });
}

// Posts a null message to a window every 10 ms from a thread of its own, as
// input would: a slice of drawing ends only on a message. (A timer would not
// do: a window that is always invalid gets WM_PAINT before any WM_TIMER.)
class SliceEnder {
public:
    explicit SliceEnder(HWND window) : window(window) {
        stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, &SliceEnder::post, this, 0, nullptr);
    }
    ~SliceEnder() {
        SetEvent(stop);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(stop);
    }
    SliceEnder(const SliceEnder&) = delete;
    SliceEnder& operator=(const SliceEnder&) = delete;

private:
    static DWORD WINAPI post(void* self) {
        auto* ender = static_cast<SliceEnder*>(self);
        while (WaitForSingleObject(ender->stop, 10) == WAIT_TIMEOUT) PostMessageA(ender->window, WM_NULL, 0, 0);
        return 0;
    }
    HWND window;
    HANDLE stop = nullptr;
    HANDLE thread = nullptr;
};
