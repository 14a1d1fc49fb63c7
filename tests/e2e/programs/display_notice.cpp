// Tells the running saver that the display went off or came on, as Windows
// does: WM_POWERBROADCAST sent (not posted) from another thread, with the
// setting's record in the saver's own memory, so it arrives while the saver
// draws, inside its next look at the queue. Wine never sends these itself.
//   display_notice off|on|dim [console|monitor]
// Exit code 0 when the saver handled the notice (returned TRUE), 1 when it
// did not, 2 when there is no saver window or the record could not be placed.
#include <windows.h>
#include <string>
#include <vector>
#include "support/display_notice.h"

namespace {

DWORD state_named(const std::string& word) {
    if (word == "off") return display_off;
    if (word == "dim") return display_dimmed;
    return display_on;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    const std::string line = command_line ? command_line : "";
    const DWORD state = state_named(line.substr(0, line.find(' ')));
    const GUID& setting = line.find("monitor") != std::string::npos ? monitor_power_setting : display_state_setting;

    HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr);
    if (!saver) return 2;
    DWORD process_id = 0;
    GetWindowThreadProcessId(saver, &process_id);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
    if (!process) return 2;

    const std::vector<unsigned char> record = display_notice_record(state, setting);
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
