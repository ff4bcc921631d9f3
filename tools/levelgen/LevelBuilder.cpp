#include "LevelBuilder.h"

namespace tessarin::levelgen {

using namespace tessarin::level;

std::uint32_t defaultMagic(std::int16_t version) {
    switch (version) {
    case kVersionTR1: return kMagicTR1;
    case kVersionTR2: return kMagicTR2;
    case kVersionTR3: return kMagicTR3a;
    case kVersionTR4:
    case kVersionTR5: return kMagicTR4;
    default: throw BuildError("no level version " + std::to_string(version));
    }
}

const char* levelExtension(std::int16_t version) {
    switch (version) {
    case kVersionTR1: return ".phd";
    case kVersionTR4: return ".tr4";
    case kVersionTR5: return ".trc";
    default: return ".tr2";
    }
}

std::vector<std::uint8_t> buildLevelTR4(const TRLevel& level, const BuildOptions& options);
std::vector<std::uint8_t> buildLevelTR5(const TRLevel& level, const BuildOptions& options);

std::vector<std::uint8_t> buildLevel(const TRLevel& level, std::int16_t version, const BuildOptions& options) {
    if (version == 0) version = level.LevelVersion;
    switch (version) {
    case kVersionTR1:
    case kVersionTR2:
    case kVersionTR3: return buildLevelTR123(level, version, options, nullptr);
    case kVersionTR4: return buildLevelTR4(level, options);
    case kVersionTR5: return buildLevelTR5(level, options);
    default: throw BuildError("no level version " + std::to_string(version));
    }
}

}  // namespace tessarin::levelgen
