#pragma once
#include <ostream>

// Polymorphic base of the value classes that have a text form.
class Printable {
public:
    virtual ~Printable() = default;
    virtual void print(std::ostream& out) const = 0;
};

inline std::ostream& operator<<(std::ostream& out, const Printable& object) {
    object.print(out);
    return out;
}
