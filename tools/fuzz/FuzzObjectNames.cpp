// The object-name file over arbitrary bytes, and a look-up of every name it could have filled.
#include <cstddef>
#include <cstdint>
#include <span>

#include "editor/ObjectNames.h"

using tessarin::editor::ObjectNameTable;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto load = tessarin::editor::ParseObjectNames(std::span<const std::uint8_t>(data, size));
    std::size_t total = 0;
    for (int v = -1; v <= ObjectNameTable::kVersions; ++v)
        for (int id = -1; id <= ObjectNameTable::kObjectIDs; ++id) total += load.names.objectName(v, id).size();
    for (int id = -1; id <= ObjectNameTable::kStaticIDs; ++id) (void)load.names.staticName(id);
    // Object names are cut from the file (one 8-bit character is at most 3 bytes of UTF-8), so
    // together they cannot outgrow three times the file; static names are not counted, unnamed ones
    // read "Mesh n".
    if (total > 3 * size) __builtin_trap();
    if (load.warning && !load.names.empty()) __builtin_trap();
    return 0;
}
