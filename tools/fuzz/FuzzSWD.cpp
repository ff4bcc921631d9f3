// The sprite file: ParseSWD over arbitrary bytes; what it accepts must serialise to the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "convert/SWD.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto swd = tessarin::convert::ParseSWD(bytes);
    if (!swd) return 0;
    const auto back = tessarin::convert::SerializeSWD(*swd);
    if (back.size() > size || !std::equal(back.begin(), back.end(), bytes.begin())) __builtin_trap();
    return 0;
}
