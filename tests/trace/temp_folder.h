#pragma once
#include <windows.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// A fresh folder named by TEMP for one test; the old TEMP comes back afterwards.
// The folder is named after the process unless a name is given (a death test's
// child process must find its parent's folder).
class TempFolder {
public:
    explicit TempFolder(const std::string& below = "", const std::string& name = "") {
        const char* old = std::getenv("TEMP");
        had_temp = old != nullptr;
        if (old) saved = old;
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        root = std::string(base) +
               (name.empty() ? "quorix-test-" + std::to_string(GetCurrentProcessId()) : name);
        path = root + below;
        make_folders(path);
        set_temp(path);
    }
    ~TempFolder() {
        if (had_temp) {
            set_temp(saved);
        } else {
            _putenv("TEMP=");
        }
        remove_tree(root);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return path + "\\" + name; }
    bool has(const std::string& name) const {
        return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(file(name), std::ios::binary) << text;
    }

    static void set_temp(const std::string& value) {
        const std::string assignment = "TEMP=" + value;
        _putenv(assignment.c_str());
    }

    std::string root;
    std::string path;

private:
    static void make_folders(const std::string& folder) {
        for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
            CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    static void remove_tree(const std::string& folder) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string full = folder + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    remove_tree(full);
                } else {
                    DeleteFileA(full.c_str());
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    bool had_temp = false;
    std::string saved;
};
