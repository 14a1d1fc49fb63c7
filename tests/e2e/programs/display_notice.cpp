// Tells the running saver that the display went off or came on, as Windows
// does: WM_POWERBROADCAST sent (not posted) from another thread, with the
// setting's record in the saver's own memory, so it arrives while the saver
// draws, inside its next look at the queue. Wine never sends these itself.
//   display_notice off|on|dim [console|monitor]
// Exit code 0 when the saver handled the notice (returned TRUE), 1 when it
// did not, 2 when there is no saver window or the record could not be placed.
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Written out here rather than taken from the saver, so that a wrong GUID there
// fails the scenarios. Windows 8 on: the console display, 0 off, 1 on, 2 dimmed.
constexpr GUID console_display{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// Vista and 7: the monitors' power, 0 off, 1 on.
constexpr GUID monitor_power{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

DWORD state_named(const std::string& word) {
    if (word == "off") return 0;
    if (word == "dim") return 2;
    return 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    const std::string line = command_line ? command_line : "";
    const DWORD state = state_named(line.substr(0, line.find(' ')));
    const GUID& setting = line.find("monitor") != std::string::npos ? monitor_power : console_display;

    HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr);
    if (!saver) return 2;
    DWORD process_id = 0;
    GetWindowThreadProcessId(saver, &process_id);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
    if (!process) return 2;

    std::vector<unsigned char> record(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
    auto* notice = reinterpret_cast<POWERBROADCAST_SETTING*>(record.data());
    notice->PowerSetting = setting;
    notice->DataLength = sizeof(DWORD);
    std::memcpy(notice->Data, &state, sizeof state);
    // The system hands the receiver a pointer into its own memory; a pointer
    // into ours would mean nothing there.
    void* remote = VirtualAllocEx(process, nullptr, record.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    int result = 2;
    if (remote && WriteProcessMemory(process, remote, record.data(), record.size(), nullptr)) {
        DWORD_PTR answer = 0;
        const LRESULT sent = SendMessageTimeoutA(saver, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                                                 reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &answer);
        result = sent && answer == TRUE ? 0 : 1;
        // A saver that did not answer in time may still read the record.
        if (sent) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    } else if (remote) {
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return result;
}
