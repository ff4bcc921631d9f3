#pragma once
// Field-by-field comparison of two level records, for tests that read back a built level.
#include <cstdint>
#include <string>

#include "level/TRLevel.h"

namespace tessarin::test {

// The first field where `actual` differs from `expected`, named ("room 1, sector 3: ..."), or an
// empty string when every field the version's files hold is the same. Derived data (texture tiles)
// and fields the version does not have are not compared; a NumDataWords of 0 in `expected` means
// "whatever the builder computed".
std::string firstDifference(const level::TRLevel& expected, const level::TRLevel& actual, std::int16_t version);

}  // namespace tessarin::test
