// Makes a key under HKEY_CURRENT_USER refuse writes, for the scenarios where
// nothing can be written.
//   registry_lock KEY
// Exit code 0 when the key refuses writes afterwards, 1 when it does not.
#include <windows.h>
#include <string>
#include <vector>
#include "support/command_words.h"
#include "support/read_only_key.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    std::vector<std::string> words = command_words(command_line);
    if (words.size() != 1) return 1;
    return lock_user_key(words[0].c_str()) ? 0 : 1;
}
