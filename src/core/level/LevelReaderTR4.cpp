// TR4 level files: not read yet.
#include "level/LevelReaders.h"

namespace tessarin::level::detail {

void readTR4(util::ByteReader& r, TRLevel&, std::vector<std::string>*) {
    r.fail("TR4 levels are not supported yet");
}

}  // namespace tessarin::level::detail
