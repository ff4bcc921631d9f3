// make-objects-dat: builds TR4Objects.dat from the object-name tables in data/object-names/.
//
// usage: make-objects-dat OUT TR4.tsv STATICS.tsv TR3.tsv TR2.tsv TR1.tsv TR5.tsv
// Each table: '#' comment lines, then "id<TAB>name" rows with ids 0, 1, 2, ... without gaps.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "editor/ObjectNames.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

namespace {

bool readTable(const char* path, std::vector<std::string>& names) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make-objects-dat: cannot open %s\n", path);
        return false;
    }
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const auto tab = line.find('\t');
        const std::string idText = line.substr(0, tab);
        const std::string name = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        // Row n must hold ID n: the file format has no IDs, only positions.
        if (idText != std::to_string(names.size())) {
            std::fprintf(stderr, "%s:%d: expected ID %zu, found \"%s\"\n", path, lineNo, names.size(), idText.c_str());
            return false;
        }
        names.push_back(name);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        std::fputs("usage: make-objects-dat OUT TR4.tsv STATICS.tsv TR3.tsv TR2.tsv TR1.tsv TR5.tsv\n", stderr);
        return 1;
    }
    tessarin::editor::ObjectNameSections s;
    std::vector<std::string>* order[] = {&s.tr4, &s.statics, &s.tr3, &s.tr2, &s.tr1, &s.tr5};
    for (int i = 0; i < 6; ++i)
        if (!readTable(argv[2 + i], *order[i])) return 1;
    const auto bytes = tessarin::editor::SerializeObjectNames(s);
    if (auto st = tessarin::util::writeFileSafely(argv[1], bytes); !st) {
        std::fprintf(stderr, "make-objects-dat: %s\n", st.error().c_str());
        return 1;
    }
    return 0;
}
