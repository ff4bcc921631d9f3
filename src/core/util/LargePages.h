#pragma once
// A hint for a large block of fresh memory that is about to be filled in one pass.
#include <cstddef>

namespace tessarin::util {

// Asks the system to back [data, data + size) with large pages where it can. Fresh memory is
// otherwise faulted in one 4 KiB page at a time, which for a block of tens of megabytes costs
// several times the filling itself. Only a hint: it changes no byte and may do nothing.
void preferLargePages(void* data, std::size_t size);

}  // namespace tessarin::util
