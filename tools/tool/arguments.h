// Reading the tool's command-line values.
#pragma once

#include <cerrno>
#include <cstdlib>

// A whole decimal number from lo to hi, the whole text; false (value untouched) otherwise.
inline bool ParseInteger(const char* text, long long lo, long long hi, long long& value) {
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || n < lo || n > hi) return false;
    value = n;
    return true;
}
