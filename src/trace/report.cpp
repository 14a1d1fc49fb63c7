// placeholder: replaced by the owner of trace/
#include "trace/report.h"
int report(const char*, const char*, ...) { return 0; }
std::string trace_file_path() { return {}; }
void start_trace_file() {}
void delete_trace_file() {}
bool trace_wanted() { return false; }
