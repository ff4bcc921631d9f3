// LoadLevel over whole files. Built four times: FUZZ_LEVEL_NAME picks the file name (".trc" makes a
// TR4 magic read as TR5), FUZZ_LEVEL_WRAP how the input becomes a file: as it is, or as raw level
// data inside a TR4 stored chunk / behind TR5's texture chunks.
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzInput.h"
#include "level/RoomsReader.h"
#include "level/LevelReader.h"

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
    (void)tessarin::level::LoadLevelFromBytes(file, FUZZ_LEVEL_NAME, nullptr, &listStarts);
    return 0;
}
