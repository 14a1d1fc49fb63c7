// Reports on a running saver and on the built quorix.scr for the shell's
// end-to-end scenarios. Writes "key=value" lines to TEMP\shell_probe.txt and
// ends with 0 when the thing asked about was found, 1 otherwise.
//   shell_probe window      the saver window: class, title, rectangle, brush
//   shell_probe cursor      whether the foreground thread shows a cursor
//   shell_probe resources   resources of quorix.scr beside this program
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

FILE* open_report() {
    const char* temp = std::getenv("TEMP");
    const std::string path = std::string(temp ? temp : ".") + "\\shell_probe.txt";
    return std::fopen(path.c_str(), "w");
}

int probe_window(FILE* out) {
    HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr);
    if (!saver) return 1;
    char title[256] = {};
    GetWindowTextA(saver, title, sizeof title);
    RECT rect{};
    GetWindowRect(saver, &rect);
    const bool black = GetClassLongPtrA(saver, GCLP_HBRBACKGROUND) ==
                       reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH));
    std::fprintf(out, "title=%s\nrect=%ld %ld %ld %ld\nscreen=%d %d\nbackground=%s\n", title,
                 rect.left, rect.top, rect.right, rect.bottom, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), black ? "black" : "other");
    return 0;
}

int probe_cursor(FILE* out) {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!GetCursorInfo(&info)) return 1;
    const bool shown = info.hCursor != nullptr && (info.flags & CURSOR_SHOWING);
    std::fprintf(out, "cursor=%s\n", shown ? "shown" : "hidden");
    return 0;
}

std::string saver_path() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + "quorix.scr";
}

int probe_resources(FILE* out) {
    HMODULE saver = LoadLibraryExA(saver_path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!saver) return 1;
    char text[256] = {};
    LoadStringA(saver, 1, text, sizeof text);
    std::fprintf(out, "string1=%s\n", text);
    LoadStringA(saver, 2001, text, sizeof text);
    std::fprintf(out, "string2001=%s\n", text);
    std::fprintf(out, "icon=%s\n", FindResourceA(saver, "APP_ICON", MAKEINTRESOURCEA(14)) ? "yes" : "no");
    std::fprintf(out, "version=%s\n", FindResourceA(saver, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)) ? "yes" : "no");
    std::string manifest;
    if (HRSRC found = FindResourceA(saver, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(saver, found)));
        if (bytes) manifest.assign(bytes, SizeofResource(saver, found));
    }
    std::fprintf(out, "manifest_dpi=%s\n", manifest.find("PerMonitorV2") != std::string::npos ? "yes" : "no");
    std::fprintf(out, "manifest_os=%s\n",
                 manifest.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a") != std::string::npos ? "yes" : "no");
    FreeLibrary(saver);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    FILE* out = open_report();
    if (!out) return 2;
    int result = 1;
    if (std::strstr(command_line, "window")) result = probe_window(out);
    else if (std::strstr(command_line, "cursor")) result = probe_cursor(out);
    else if (std::strstr(command_line, "resources")) result = probe_resources(out);
    std::fclose(out);
    return result;
}
