#pragma once

// Shared by the fuzz targets: a property check that stops the run where it fails, and the split
// of one input into several texts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// A property that must hold for every input; a failure aborts, which the fuzzer records as a
// crash with this input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace zuv::fuzz {

inline std::string_view InputText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Hands out the parts of an input separated by a byte; the last part runs to the end. Asking past
// the end gives empty parts, so every input is usable.
class InputParts
{
public:
    InputParts(std::string_view input, char separator) : m_rest(input), m_separator(separator) {}

    std::string_view Next()
    {
        const std::size_t end = m_rest.find(m_separator);
        const std::string_view part = m_rest.substr(0, end);
        m_rest = end == std::string_view::npos ? std::string_view() : m_rest.substr(end + 1);
        return part;
    }
    std::string_view Rest() const { return m_rest; }

private:
    std::string_view m_rest;
    char m_separator;
};

} // namespace zuv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
