#include "trace/report.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <io.h>
#include "app/application.h"

namespace {

constexpr const char* trace_category = "trace";
// wvsprintfA stops at 1024 characters; one more keeps the terminator safe either way.
constexpr int report_buffer_size = 1024 + 1;

std::string temp_directory() {
    const char* temp = std::getenv("TEMP");
    return temp ? temp : "";
}

// A path that would not fit MAX_PATH is never shortened to another place.
std::string fitting(std::string path) {
    return path.size() < MAX_PATH ? path : std::string();
}

bool exists(const std::string& path) {
    return _access(path.c_str(), 0) == 0;
}

// Opened and closed for every line, so the file is complete after each one.
void append_trace_line(const char* text) {
    const std::string path = trace_file_path();
    if (path.empty()) return;
    HFILE file = _lopen(path.c_str(), OF_WRITE);
    if (file == HFILE_ERROR) {
        file = _lcreat(path.c_str(), 0);
    } else {
        _llseek(file, 0, FILE_END);
    }
    if (file == HFILE_ERROR) return;
    _lwrite(file, text, static_cast<UINT>(std::strlen(text)));
    _lwrite(file, "\r\n", 2);
    _lclose(file);
}

}  // namespace

int report(const char* category, const char* format, ...) {
    char text[report_buffer_size] = {};
    va_list arguments;
    va_start(arguments, format);
    wvsprintfA(text, format ? format : "", arguments);
    va_end(arguments);
    if (category && std::strcmp(category, trace_category) == 0) {
        append_trace_line(text);
    } else {
        MessageBeep(0);
        MessageBoxA(nullptr, text, category, MB_ICONINFORMATION);
    }
    return 0;
}

std::string trace_file_path() {
    return fitting(temp_directory() + "\\trace.txt");
}

std::string trace_copy_path(unsigned number) {
    return fitting(temp_directory() + "\\tr" + std::to_string(number) + ".txt");
}

void start_trace_file() {
    const std::string path = trace_file_path();
    if (path.empty()) return;
    if (developer_mode) {
        std::remove(path.c_str());
        return;
    }
    if (!exists(path)) return;
    for (unsigned number = 0;; ++number) {
        const std::string copy = trace_copy_path(number);
        if (copy.empty()) return;
        if (!exists(copy)) {
            std::rename(path.c_str(), copy.c_str());
            return;
        }
    }
}

void delete_trace_file() {
    const std::string path = trace_file_path();
    if (!path.empty()) std::remove(path.c_str());
}

bool trace_wanted() { return tracing; }
