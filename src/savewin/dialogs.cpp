#include "savewin/dialogs.h"

#include <iterator>
#include <vector>
#include "app/application.h"
#include "monitors/monitor_layout_math.h"
#include "res/resource.h"
#include "savewin/password.h"
#include "savewin/settings.h"

namespace {

// Each option's key sits beside its check box, so it is read and written under one name.
struct OptionBox {
    const char* key;
    int id;
};
constexpr OptionBox option_boxes[] = {
    {settings::hide_mouse, IDC_HIDE_MOUSE},
    {settings::ignore_mouse, IDC_IGNORE_MOUSE},
    {settings::stay_on_top, IDC_STAY_ON_TOP},
    {settings::true_colour_cycling, IDC_TRUE_COLOUR_CYCLING},
    {settings::preview, IDC_PREVIEW},
};
// The monitors list, one line per mode in the order of its items.
struct MonitorChoice {
    MonitorMode mode;
    const char* text;
};
constexpr MonitorChoice monitor_choices[] = {
    {MonitorMode::primary, "Primary only, others black"},
    {MonitorMode::span, "Span all monitors"},
    {MonitorMode::mirror, "Mirror on every monitor"},
    {MonitorMode::separate, "Separate on every monitor"},
};
// The options dialog reads its flags into buffers of this size.
constexpr unsigned option_buffer_size = 2048;
constexpr int caption_buffer_size = 256;

INT_PTR CALLBACK settings_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        add_version_to_caption(dialog, caption_buffer_size);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wparam)) {
    case IDOK:
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_OPTIONS:
        show_options_dialog(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

void show_stored_options(HWND dialog) {
    for (const OptionBox& box : option_boxes) {
        if (settings::read_flag(box.key, option_buffer_size)) CheckDlgButton(dialog, box.id, BST_CHECKED);
    }
    const MonitorMode stored = monitor_mode_from(settings::read(settings::monitors, "", option_buffer_size));
    int item = 0;
    for (const MonitorChoice& choice : monitor_choices) {
        const LRESULT index = SendDlgItemMessageA(dialog, IDC_MONITORS, CB_ADDSTRING, 0,
                                                  reinterpret_cast<LPARAM>(choice.text));
        if (choice.mode == stored) item = static_cast<int>(index);
    }
    SendDlgItemMessageA(dialog, IDC_MONITORS, CB_SETCURSEL, item, 0);
}

// Stops at the first write that fails and returns its error code, 0 when all succeed.
unsigned long save_options(HWND dialog) {
    for (const OptionBox& box : option_boxes) {
        const unsigned long error = settings::write_flag(box.key, IsDlgButtonChecked(dialog, box.id) == BST_CHECKED);
        if (error) return error;
    }
    const LRESULT item = SendDlgItemMessageA(dialog, IDC_MONITORS, CB_GETCURSEL, 0, 0);
    const bool chosen = item >= 0 && item < static_cast<LRESULT>(std::size(monitor_choices));
    const MonitorMode mode = chosen ? monitor_choices[item].mode : MonitorMode::primary;
    return settings::write(settings::monitors, monitor_mode_text(mode));
}

INT_PTR CALLBACK options_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        add_version_to_caption(dialog, caption_buffer_size);
        show_stored_options(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wparam)) {
    case IDOK:
        // Options that will not last end the dialog as Cancel does, so a running
        // saver does not apply them.
        if (const unsigned long error = save_options(dialog)) {
            show_not_saved(dialog, "The options were not saved.", error);
            EndDialog(dialog, 0);
        } else {
            EndDialog(dialog, 1);
        }
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_PASSWORD_BUTTON:
        // The password is written by that dialog at once, whatever this one ends with.
        show_change_password_dialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR show_settings_dialog(HWND owner) {
    return DialogBoxParamA(app.instance, "SETUP", owner, settings_procedure, 0);
}

INT_PTR show_options_dialog(HWND owner) {
    return DialogBoxParamA(app.instance, "REG_OPTIONS", owner, options_procedure, 0);
}

std::string window_text(HWND window) {
    int length = GetWindowTextLengthA(window);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void add_version_to_caption(HWND dialog, int buffer_size) {
    std::vector<char> version(static_cast<size_t>(buffer_size));
    if (LoadStringA(app.instance, IDS_VERSION, version.data(), buffer_size) <= 0) return;
    std::string caption = window_text(dialog) + " Version " + version.data();
    SetWindowTextA(dialog, caption.c_str());
}

void show_not_saved(HWND owner, const char* sentence, unsigned long error) {
    char reason[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  reason, sizeof reason, nullptr);
    while (length > 0 && (reason[length - 1] == '\n' || reason[length - 1] == '\r' || reason[length - 1] == ' '))
        --length;
    std::string text = std::string(sentence) + "\r\n\r\n";
    text += length > 0 ? std::string(reason, length) : "Error " + std::to_string(error) + ".";
    MessageBoxA(owner, text.c_str(), not_saved_caption, MB_ICONERROR);
}
