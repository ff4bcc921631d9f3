#include "util/NumberText.h"

#include <cmath>
#include <cstdio>

namespace tessarin::util {

std::string numberForm(std::int64_t value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string numberForm(double value) {
    const double rounded = std::round(value * 10.0) / 10.0;
    if (rounded == std::floor(rounded)) return numberForm(static_cast<std::int64_t>(rounded));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f", rounded);
    return rounded < 0 ? std::string(buf) : " " + std::string(buf);
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
