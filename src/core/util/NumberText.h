#pragma once
// The program's number form: a blank before a non-negative number, "-" before a negative one.
#include <cstdint>
#include <string>

namespace tessarin::util {

// " 5", "-3": the form captions and list entries use.
std::string numberForm(std::int64_t value);
// Fractions (a frame rate) keep one decimal: " 12.5", " 60".
std::string numberForm(double value);
// Plain digits ("5", "-3"): door rooms and heights.
std::string plainNumber(std::int64_t value);

// Offsets and sizes in messages: "0x1A2F0".
std::string hex(std::uint64_t value);
// Where a message was found: "room 3 of 12".
std::string indexOf(const std::string& what, std::size_t index, std::size_t count);

}  // namespace tessarin::util
