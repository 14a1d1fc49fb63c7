#pragma once
#include <sstream>
#include <string>

// The one diagnostic output: category "trace" appends a line to the trace file;
// any other category beeps and shows a message box captioned with it. The text is
// cut at 1024 characters.
int report(const char* category, const char* format, ...);

// TEMP + "\trace.txt"; empty when the path would not fit a Windows path.
std::string trace_file_path();
// TEMP + "\tr<number>.txt", where an old trace file is moved; empty when too long.
std::string trace_copy_path(unsigned number);
// At the start of a traced run: delete (developer mode) or move the old file aside.
void start_trace_file();
void delete_trace_file();

// Writes "<source> line <line><label><value>" when tracing.
bool trace_wanted();
template <typename T>
void trace_entry(const char* source, int line, const char* label, const T& value) {
    if (!trace_wanted()) return;
    std::ostringstream entry;
    entry << source << " line " << line << label << value;
    report("trace", "%s", entry.str().c_str());
}
