// Reports what Wine and the running saver make of several monitors, for the
// two-monitor scenarios. Writes "key=value" lines to TEMP\monitors_probe.txt:
//   monitors=N (SM_CMONITORS), then one "monitor=l t r b" line per monitor,
//   covers=N, then one "cover=l t r b visible topmost" line per cover window,
//   mirrors=N, then one "mirror=l t r b visible topmost" line per mirror window,
//   saver=topmost or saver=not-topmost (or saver=none), saver_rect=l t r b,
//   order=the classes of the visible saver, cover and dialog windows, topmost first,
//   zorder=the same and the taskbar stand-in's, as "class:topmost" or
//   "class:normal", in the order of the walk from GetTopWindow(NULL) along
//   GW_HWNDNEXT (Wine's X stacking does not follow the topmost band, this does),
//   then one "lit=N" line per monitor: its pixels that are not black as Wine
//   reads the screen. On a palette display Wine may keep its colours in a
//   colormap of its own that nothing installs on an X server without a window
//   manager; a capture then sees black where Wine has drawn.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

// Pixels of a monitor that are not black, read from the screen by Wine.
BOOL CALLBACK print_lit(HMONITOR monitor, HDC, LPRECT, LPARAM out) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    long lit = 0;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP picture = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (picture && bits) {
            HGDIOBJ previous = SelectObject(memory, picture);
            BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
            GdiFlush();
            const auto* pixels = static_cast<const DWORD*>(bits);
            for (long i = 0; i < static_cast<long>(width) * height; ++i) lit += (pixels[i] & 0xFFFFFF) != 0;
            SelectObject(memory, previous);
            DeleteObject(picture);
        }
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    std::fprintf(reinterpret_cast<FILE*>(out), "lit=%ld\n", lit);
    return TRUE;
}

BOOL CALLBACK print_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM out) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        std::fprintf(reinterpret_cast<FILE*>(out), "monitor=%ld %ld %ld %ld%s\n", r.left, r.top,
                     r.right, r.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? " primary" : "");
    }
    return TRUE;
}

bool topmost(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void print_covers(FILE* out, const char* class_name, const char* key) {
    std::string lines;
    int count = 0;
    HWND cover = nullptr;
    std::set<HWND> seen;  // the saver raises its covers as it runs: a walk may come round again
    while ((cover = FindWindowExA(nullptr, cover, class_name, nullptr)) != nullptr &&
           seen.insert(cover).second) {
        RECT r{};
        GetWindowRect(cover, &r);
        char line[128];
        std::snprintf(line, sizeof line, "%s=%ld %ld %ld %ld %s %s\n", key, r.left, r.top, r.right,
                      r.bottom, IsWindowVisible(cover) ? "visible" : "hidden",
                      topmost(cover) ? "topmost" : "not-topmost");
        lines += line;
        ++count;
    }
    std::fprintf(out, "%ss=%d\n%s", key, count, lines.c_str());
}

// One walk of the z-order, or false when a window comes round again: the order
// changed under the walk (a window raised while it ran), which would otherwise
// lead it round the same windows for ever.
bool walk_z_order(std::string& text) {
    std::set<HWND> seen;
    text.clear();
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (!seen.insert(window).second) return false;
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        const std::string class_name(name);
        if (!IsWindowVisible(window) ||
            (class_name != "QuorixMonitorCover" && class_name != "QuorixMonitorMirror" && class_name != "#32770" &&
             class_name != "WindowsScreenSaverClass" && class_name != "QuorixTaskbarStandIn"))
            continue;
        if (!text.empty()) text += ' ';
        text += class_name + (topmost(window) ? ":topmost" : ":normal");
    }
    return true;
}

// The z-order from a walk that saw it hold still, or "changing" after a few
// tries, which no check takes for a good order.
std::string z_order() {
    std::string text;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (walk_z_order(text)) return text;
        Sleep(50);
    }
    return "changing";
}

BOOL CALLBACK add_to_order(HWND window, LPARAM order) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    const std::string class_name(name);
    if (IsWindowVisible(window) && (class_name == "QuorixMonitorCover" || class_name == "QuorixMonitorMirror" ||
                                    class_name == "#32770" ||
                                    class_name == "WindowsScreenSaverClass")) {
        auto* text = reinterpret_cast<std::string*>(order);
        if (!text->empty()) *text += ' ';
        *text += class_name;
    }
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* temp = std::getenv("TEMP");
    const std::string path = std::string(temp ? temp : ".") + "\\monitors_probe.txt";
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return 1;
    std::fprintf(out, "monitors=%d\n", GetSystemMetrics(SM_CMONITORS));
    EnumDisplayMonitors(nullptr, nullptr, print_monitor, reinterpret_cast<LPARAM>(out));
    print_covers(out, "QuorixMonitorCover", "cover");
    print_covers(out, "QuorixMonitorMirror", "mirror");
    HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr);
    std::fprintf(out, "saver=%s\n", !saver ? "none" : topmost(saver) ? "topmost" : "not-topmost");
    RECT saver_rect{};
    if (saver) GetWindowRect(saver, &saver_rect);
    std::fprintf(out, "saver_rect=%ld %ld %ld %ld\n", saver_rect.left, saver_rect.top, saver_rect.right,
                 saver_rect.bottom);
    std::string order;
    EnumWindows(add_to_order, reinterpret_cast<LPARAM>(&order));
    std::fprintf(out, "order=%s\n", order.c_str());
    std::fprintf(out, "zorder=%s\n", z_order().c_str());
    EnumDisplayMonitors(nullptr, nullptr, print_lit, reinterpret_cast<LPARAM>(out));
    std::fclose(out);
    return 0;
}
