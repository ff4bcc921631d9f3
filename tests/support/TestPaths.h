#pragma once
// Where the real levels are; tests that need them skip with a clear message when absent.
#include <filesystem>
#include <string>

namespace tessarin::test {

// The folder of real levels: $TESSARIN_LEVELS if set, else the one next to the checkout.
std::filesystem::path levelsDir();

// The path of one real level, or empty when it is not there.
std::filesystem::path realLevel(const std::string& name);

// A fresh empty folder for a test's files.
std::filesystem::path scratchDir(const std::string& name);

}  // namespace tessarin::test

// Skips the current test when a real level is missing.
#define TESSARIN_REQUIRE_LEVEL(var, name)                                                        \
    const auto var = ::tessarin::test::realLevel(name);                                          \
    if (var.empty()) GTEST_SKIP() << "real level " << (name) << " not found in "                 \
                                  << ::tessarin::test::levelsDir() << " (set TESSARIN_LEVELS)"
