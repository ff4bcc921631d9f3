// LoadLevel over whole files. Built four times: FUZZ_LEVEL_NAME picks the file name (".trc" makes a
// TR4 magic read as TR5), FUZZ_LEVEL_WRAP how the input becomes a file: as it is, or as raw level
// data inside a TR4 stored chunk / behind TR5's texture chunks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzInput.h"
#include "level/RoomsReader.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // One thread: a crash report then shows one stack, and runs repeat exactly.
    tessarin::level::detail::setParallelReading(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
#if FUZZ_LEVEL_WRAP == 4
    const auto file = tessarin::fuzz::wrapTR4LevelData(input);
#elif FUZZ_LEVEL_WRAP == 5
    const auto file = tessarin::fuzz::wrapTR5LevelData(input);
#else
    const auto file = input;
#endif
    std::vector<std::size_t> listStarts;
    const auto level = tessarin::level::LoadLevelFromBytes(file, FUZZ_LEVEL_NAME, nullptr, &listStarts);
#if FUZZ_LEVEL_WRAP == 0
    // A TR2 or TR3 file that reads is written back byte for byte, whatever it holds.
    if (level && tessarin::level::WriteRefusal(level.value()).empty()) {
        const auto bytes = tessarin::level::SerializeLevel(level.value());
        if (!bytes || !std::equal(bytes->begin(), bytes->end(), file.begin(), file.end())) __builtin_trap();
    }
#endif
    return 0;
}
