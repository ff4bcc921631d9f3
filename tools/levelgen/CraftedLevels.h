#pragma once
// CraftedLevels: small, well-formed level files whose counts and offsets make the work after
// reading grow far past the file: shared or overlapping meshes, frames walked per mesh, shared and
// unclosed triggers, millions of items, chunks that unpack to the ceiling, huge rooms and lists.
// They check that every command and the editor stay bounded by the file's size.
#include <cstdint>
#include <string>
#include <vector>

namespace tessarin::levelgen {

struct CraftedClass {
    const char* name;
    const char* what;                   // one line: what amplifies
    std::vector<std::int16_t> versions;  // the versions the class applies to
};

// Every class, in the order make-level writes them.
const std::vector<CraftedClass>& craftedClasses();

// The file bytes of class `name` for `version` at `scale` (1: the full crafted size; tests use a
// fraction to stay quick). Throws BuildError for an unknown name or a version the class lacks.
std::vector<std::uint8_t> buildCrafted(const std::string& name, std::int16_t version, double scale = 1.0);

}  // namespace tessarin::levelgen
