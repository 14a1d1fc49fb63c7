#include "lib/date.h"
// placeholder: replaced by the owner of lib/
ft_Date::ft_Date(const char*) : value(0) {}
ft_Date ft_Date::now() { return ft_Date(0.0); }
double ft_Date::day_number(long, long, long, long, long, long) { return 0; }
DateComponents ft_Date::components() const { return {}; }
std::string ft_Date::text() const { return {}; }
void ft_Date::print(std::ostream&) const {}
