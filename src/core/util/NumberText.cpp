#include "util/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tessarin::util {

std::string numberForm(std::int64_t value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string numberForm(double value) {
    const double rounded = std::round(value * 10.0) / 10.0;
    if (rounded == std::floor(rounded)) return numberForm(static_cast<std::int64_t>(rounded));
    // to_chars, not printf: the window's toolkit takes the user's locale, where printf would write
    // "59,5" for what the game's own numbers always show as "59.5".
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, 1);
    const std::string text(buf, ec == std::errc() ? end : buf);
    return rounded < 0 ? text : " " + text;
}

std::string plainNumber(std::int64_t value) { return std::to_string(value); }

std::string hex(std::uint64_t value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(value));
    return buf;
}

std::string indexOf(const std::string& what, std::size_t index, std::size_t count) {
    return what + " " + std::to_string(index) + " of " + std::to_string(count);
}

}  // namespace tessarin::util
