// TR5 level files: not read yet.
#include "level/LevelReaders.h"

namespace tessarin::level::detail {

void readTR5(util::ByteReader& r, TRLevel&, std::vector<std::string>*) {
    r.fail("TR5 levels are not supported yet");
}

}  // namespace tessarin::level::detail
