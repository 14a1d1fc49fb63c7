#pragma once
#include <cstdint>
#include <ostream>
#include <type_traits>

// Array whose indices start at a chosen lower bound. Indexing is unchecked:
// callers always pass indices in lower_bound .. lower_bound + count - 1.
template <typename T>
class Array {
public:
    explicit Array(uint32_t count = 0, int32_t lower_bound = 0)
        : count_(count), lower_bound_(lower_bound), deletable_(1), data_(new T[count]) {}
    ~Array() {
        if (deletable_) delete[] data_;
    }
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;

    T& operator[](int32_t index) { return data_[index - lower_bound_]; }
    const T& operator[](int32_t index) const { return data_[index - lower_bound_]; }
    uint32_t count() const { return count_; }
    int32_t lower_bound() const { return lower_bound_; }

private:
    uint32_t count_;
    int32_t lower_bound_;
    uint8_t deletable_;
    T* data_;
};

// Text form: "[" elements separated by ", " "]"; floats are written as doubles.
template <typename T>
std::ostream& operator<<(std::ostream& out, const Array<T>& array) {
    out << "[";
    for (uint32_t i = 0; i < array.count(); ++i) {
        if (i > 0) out << ", ";
        const T& element = array[array.lower_bound() + static_cast<int32_t>(i)];
        if constexpr (std::is_floating_point_v<T>)
            out << static_cast<double>(element);
        else
            out << element;
    }
    return out << "]";
}
