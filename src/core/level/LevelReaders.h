#pragma once
// The per-version body readers behind LoadLevel. Each reads from just after the magic and throws
// util::Error on anything it cannot read.
#include <string>
#include <vector>

#include "level/LoadOptions.h"
#include "level/TRLevel.h"
#include "util/ByteReader.h"

namespace tessarin::level::detail {

void readTR123(util::ByteReader& r, TRLevel& level, std::vector<std::string>* warnings, bool paletteAfterSprites = false);
void readTR4(util::ByteReader& r, TRLevel& level, std::vector<std::string>* warnings, const LoadOptions& options = {});
void readTR5(util::ByteReader& r, TRLevel& level, std::vector<std::string>* warnings);

// NumDemoData (a byte count) and the demo words it stands for; a negative count is refused.
void readDemoData(util::ByteReader& r, TRLevel& level);

}  // namespace tessarin::level::detail
