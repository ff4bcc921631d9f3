#pragma once
// Truncation sweeps: a file cut at many lengths must be refused with a message every time.
#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace tessarin::test {

// Where to cut a file of `end` bytes: `spread` lengths spread evenly, `near` bytes either side of
// every list start, and the last `tail` bytes. Lengths at or past `end` are left out.
std::set<std::size_t> cutPoints(std::size_t end, std::size_t spread, std::span<const std::size_t> starts = {},
                                std::size_t near = 5, std::size_t tail = 64);

// Reads the first `length` bytes; returns the refusal message, or "" when they were read as a level.
using CutReader = std::function<std::string(std::span<const std::uint8_t> bytes)>;

// The level reader on `name` (its ending picks TR5 for the TR4 magic).
CutReader levelReader(const std::string& name);

// Every cut is refused with a message; fails the test naming the first cut that was not.
void expectEveryCutRefused(std::span<const std::uint8_t> file, const std::set<std::size_t>& cuts,
                           const CutReader& read, const std::string& what);

}  // namespace tessarin::test
