#include "util/ByteWriter.h"

#include <bit>

namespace tessarin::util {

void ByteWriter::f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }

}  // namespace tessarin::util
