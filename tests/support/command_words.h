#pragma once
// The words of a test program's command line: split at spaces, with double
// quotes around words that hold spaces.
#include <string>
#include <vector>

inline std::vector<std::string> command_words(const char* command_line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (const char* c = command_line; *c; ++c) {
        if (*c == '"') {
            quoted = !quoted;
        } else if (*c == ' ' && !quoted) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += *c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}
