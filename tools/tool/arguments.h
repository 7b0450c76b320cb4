// Reading the tool's command-line values.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

// A whole decimal number from lo to hi, the whole text; false (value untouched) otherwise.
inline bool ParseInteger(const char* text, long long lo, long long hi, long long& value) {
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || n < lo || n > hi) return false;
    value = n;
    return true;
}

// "WxH", each side a whole number from 1 to maxSide; false (values untouched) otherwise.
inline bool ParseSize(const std::string& text, std::int32_t maxSide, std::int32_t& width, std::int32_t& height) {
    const std::size_t x = text.find_first_of("xX");
    long long w = 0, h = 0;
    if (x == std::string::npos || !ParseInteger(text.substr(0, x).c_str(), 1, maxSide, w) ||
        !ParseInteger(text.substr(x + 1).c_str(), 1, maxSide, h))
        return false;
    width = static_cast<std::int32_t>(w);
    height = static_cast<std::int32_t>(h);
    return true;
}
