#pragma once
// What every fuzz target shares: the input read as a stream of choices, and
// the check that stops the run on a broken invariant (libFuzzer then keeps the
// input as the reproducer).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : fuzz_failed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void fuzz_failed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

// Past the end every read gives zeros, so any input is a whole run.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool done() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }

    template <typename T>
    T number() {
        std::make_unsigned_t<T> value = 0;
        for (size_t i = 0; i < sizeof(T); ++i) value = static_cast<std::make_unsigned_t<T>>((value << 8) | byte());
        return static_cast<T>(value);
    }

    // One of [low, high], high - low below 2^32.
    int64_t in_range(int64_t low, int64_t high) {
        const uint64_t span = static_cast<uint64_t>(high - low) + 1;
        return low + static_cast<int64_t>(number<uint32_t>() % span);
    }

    // Up to `longest` bytes, NULs and all.
    std::string text(size_t longest) {
        std::string out;
        const size_t length = byte() % (longest + 1);
        while (out.size() < length && !done()) out += static_cast<char>(byte());
        return out;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};
