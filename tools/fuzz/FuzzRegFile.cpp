// The registry store's text, which the program reads at every start and a person may edit: any
// text parses or is refused without harm, and what parses writes out as text that reads back to
// the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "registry/MemoryRegistry.h"
#include "registry/RegFile.h"

using namespace tessarin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    registry::MemoryRegistry first;
    if (!registry::parseRegFile(std::string_view(reinterpret_cast<const char*>(data), size), first)) return 0;
    const std::string written = registry::formatRegFile(first);
    registry::MemoryRegistry second;
    if (!registry::parseRegFile(written, second) || registry::formatRegFile(second) != written) std::abort();
    return 0;
}
