#pragma once
#include <windows.h>
#include <string>
#include "savewin/settings.h"

// Starts a test with no saver section in control.ini and puts the section back
// as it was afterwards.
class SettingsBackup {
public:
    SettingsBackup() {
        std::string buffer(32768, '\0');
        const DWORD length = GetPrivateProfileSectionA(settings::section, &buffer[0],
                                                       static_cast<DWORD>(buffer.size()), settings::file);
        saved.assign(buffer.data(), length);
        clear();
    }
    ~SettingsBackup() {
        clear();
        if (!saved.empty()) {
            saved.append(2, '\0');
            WritePrivateProfileSectionA(settings::section, saved.c_str(), settings::file);
        }
        settings::flush();
    }
    SettingsBackup(const SettingsBackup&) = delete;
    SettingsBackup& operator=(const SettingsBackup&) = delete;

    static void clear() {
        WritePrivateProfileStringA(settings::section, nullptr, nullptr, settings::file);
    }
    // The section's keys and values, "key=value" separated by "|".
    static std::string section() {
        std::string buffer(32768, '\0');
        const DWORD length = GetPrivateProfileSectionA(settings::section, &buffer[0],
                                                       static_cast<DWORD>(buffer.size()), settings::file);
        buffer.resize(length);
        for (char& c : buffer)
            if (c == '\0') c = '|';
        if (!buffer.empty() && buffer.back() == '|') buffer.pop_back();
        return buffer;
    }

private:
    std::string saved;
};
