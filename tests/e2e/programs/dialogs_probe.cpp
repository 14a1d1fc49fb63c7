// Reads the state of another program's dialog for the dialog scenarios, which
// xdotool cannot see: message texts, check and enabled states, the focused
// control, a list's selection and where a control sits on the screen.
//   dialogs_probe OUTPUT QUERY TITLE [ID [HOLDING]]
// finds the visible dialog with exactly this title (holding control HOLDING, or
// else ID, when one is given) and writes the answer as one line to the file OUTPUT. The title
// "saver" asks about the saver window instead ("saver-running",
// "reset-saver-running", "minimize-saver"), or about the foreground window
// ("foreground": its title). Exit code 0
// on success, 1 when no such dialog or control exists, 2 for a bad query.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "support/command_words.h"
#include "support/window_text.h"

namespace {

struct Query {
    std::string output;
    std::string name;
    std::string title;
    int id = 0;
    int holding = 0;    // a control that tells dialogs of one title apart
};

HWND find_dialog(const Query& query) {
    int holding = query.holding ? query.holding : query.id;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", query.title.c_str()))) {
        if (IsWindowVisible(window) && (holding == 0 || GetDlgItem(window, holding))) return window;
    }
    return nullptr;
}

int focused_id(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) || !info.hwndFocus) return 0;
    return GetParent(info.hwndFocus) == dialog ? GetDlgCtrlID(info.hwndFocus) : 0;
}

// Queries about the saver window rather than a dialog.
bool answer_saver(const Query& query, std::string& result) {
    if (query.name == "saver-running") {
        BOOL running = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
        result = running ? "1" : "0";
        return true;
    }
    if (query.name == "reset-saver-running") {
        // A protected run that was killed never took the flag back.
        BOOL previous = FALSE;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &previous, 0);
        result = "0";
        return true;
    }
    if (query.name == "foreground") {
        result = text_of(GetForegroundWindow());
        return true;
    }
    HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr);
    if (!saver) return false;
    if (query.name == "minimize-saver") {
        // Sent as a system command, which a protected saver must swallow.
        SendMessageA(saver, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        result = IsIconic(saver) ? "1" : "0";
        return true;
    }
    return false;
}

// The answer to the query, or false when the dialog or control is missing.
bool answer(const Query& query, std::string& result) {
    if (query.title == "saver") return answer_saver(query, result);
    HWND dialog = find_dialog(query);
    if (!dialog) return false;
    HWND control = query.id ? GetDlgItem(dialog, query.id) : nullptr;
    if (query.name == "exists") {
        result = "1";
    } else if (query.name == "message") {
        result = message_text(dialog);
    } else if (query.name == "focus") {
        result = std::to_string(focused_id(dialog));
    } else if (query.name == "rect") {
        RECT box;
        GetWindowRect(dialog, &box);
        result = std::to_string(box.left) + " " + std::to_string(box.top) + " " +
                 std::to_string(box.right - box.left) + " " + std::to_string(box.bottom - box.top);
    } else if (query.name == "owner") {
        result = text_of(GetWindow(dialog, GW_OWNER));
    } else if (!control) {
        return false;
    } else if (query.name == "checked") {
        result = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0";
    } else if (query.name == "enabled") {
        result = IsWindowEnabled(control) ? "1" : "0";
    } else if (query.name == "limit") {
        result = std::to_string(SendMessageA(control, EM_GETLIMITTEXT, 0, 0));
    } else if (query.name == "selection") {
        result = std::to_string(SendMessageA(control, CB_GETCURSEL, 0, 0));
    } else if (query.name == "control-rect") {
        RECT box;
        GetWindowRect(control, &box);
        result = std::to_string(box.left) + " " + std::to_string(box.top) + " " +
                 std::to_string(box.right - box.left) + " " + std::to_string(box.bottom - box.top);
    } else if (query.name == "center") {
        RECT box;
        GetWindowRect(control, &box);
        result = std::to_string((box.left + box.right) / 2) + " " + std::to_string((box.top + box.bottom) / 2);
    } else {
        return false;
    }
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    std::vector<std::string> words = command_words(command_line);
    if (words.size() < 3) return 2;
    Query query{words[0], words[1], words[2], words.size() > 3 ? std::atoi(words[3].c_str()) : 0,
                words.size() > 4 ? std::atoi(words[4].c_str()) : 0};
    std::string result;
    if (!answer(query, result)) return 1;
    FILE* file = std::fopen(query.output.c_str(), "w");
    if (!file) return 2;
    std::fprintf(file, "%s\n", result.c_str());
    std::fclose(file);
    return 0;
}
