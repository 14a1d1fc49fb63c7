#pragma once
// Tells a window that the display went off, on or dim, as the system would
// (Wine accepts the registration but never sends these), and helpers to do it
// from another thread while the window's thread draws, as Windows does it.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <vector>

// Written out here rather than taken from the saver, so that a wrong GUID
// there fails the tests. The console display's state, Windows 8 on: 0 off, 1 on, 2 dimmed.
constexpr GUID display_state_setting{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// The monitors' power, Vista and 7: 0 off, 1 on.
constexpr GUID monitor_power_setting{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

enum DisplayState : DWORD { display_off = 0, display_on = 1, display_dimmed = 2 };

// The record that the notice points to: the setting, then its state.
inline std::vector<unsigned char> display_notice_record(DWORD state, const GUID& setting) {
    std::vector<unsigned char> record(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
    auto* notice = reinterpret_cast<POWERBROADCAST_SETTING*>(record.data());
    notice->PowerSetting = setting;
    notice->DataLength = sizeof(DWORD);
    std::memcpy(notice->Data, &state, sizeof state);
    return record;
}

// Sent, never posted: the notice carries a pointer. From another thread the
// call returns once the window's thread has handled it, which it does inside
// its next look at its queue.
inline LRESULT tell_display(HWND window, DWORD state, const GUID& setting = display_state_setting) {
    std::vector<unsigned char> record = display_notice_record(state, setting);
    return SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(record.data()));
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

// Polls from a thread that handles no messages; true when the condition held.
template <typename Condition>
bool wait_until(DWORD milliseconds, Condition condition) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(1);
    }
    return true;
}

// Another program acting on the saver while its thread draws: the job runs on a
// thread of its own, and the test's thread pumps until it is finished.
class Bystander {
public:
    explicit Bystander(std::function<void()> job) : job(std::move(job)) {
        thread = CreateThread(nullptr, 0, &Bystander::run, this, 0, nullptr);
    }
    ~Bystander() {
        if (!thread) return;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    Bystander(const Bystander&) = delete;
    Bystander& operator=(const Bystander&) = delete;
    bool finished() const { return done.load(); }

private:
    static DWORD WINAPI run(void* self) {
        auto* bystander = static_cast<Bystander*>(self);
        bystander->job();
        bystander->done = true;
        return 0;
    }
    std::function<void()> job;
    std::atomic<bool> done{false};
    HANDLE thread = nullptr;
};
