#pragma once
#include "level/TRLevel.h"

namespace tessarin::test {

// Checks that hold only when every section of a real TR4/TR5 level was read at the right offset:
// sane room headers, faces inside their room's vertex list, tiles inside their page.
void expectSaneLevel(const level::TRLevel& l);

}  // namespace tessarin::test
