// make-swd: builds the sprite file (TR3.swd) that TR4 conversions take their sprites from.
//
//   make-swd --sprites LIST -o OUT   draws our own sprite art for the sequences in LIST
//   make-swd --from LEVEL -o OUT     takes the sprites of a TR2/TR3 level the user owns
//   make-swd --list LEVEL            prints a level's sprite sequences in the LIST format
//
// LIST lines: "sequence ID" starts a sequence; each following "sprite W H LEFT TOP RIGHT BOTTOM"
// adds one sprite of W x H pixels with its extent in world units. '#' starts a comment.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "convert/SWD.h"
#include "level/LevelReader.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

namespace {

using tessarin::convert::SWDData;
using tessarin::level::TRSpriteSequence;
using tessarin::level::TRSpriteTexture;

struct SpriteSize {
    int width = 0, height = 0;
    std::int16_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Sequence {
    std::int32_t id = 0;
    std::vector<SpriteSize> sprites;
};

std::vector<Sequence> readList(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<Sequence> out;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream s(line);
        std::string word;
        if (!(s >> word)) continue;
        if (word == "sequence") {
            Sequence q;
            if (!(s >> q.id)) throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": sequence needs an ID");
            out.push_back(q);
        } else if (word == "sprite" && !out.empty()) {
            SpriteSize z;
            if (!(s >> z.width >> z.height >> z.left >> z.top >> z.right >> z.bottom) || z.width < 1 ||
                z.height < 1 || z.width > 256 || z.height > 256)
                throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": bad sprite line");
            out.back().sprites.push_back(z);
        } else {
            throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": unknown line");
        }
    }
    return out;
}

struct Rgb {
    std::uint8_t r = 255, g = 0, b = 255;  // magenta: transparent
};

// Our own art: each sequence gets a hue from its ID, each sprite a shaded disc or gem with a rim,
// drawn on a transparent background.
Rgb drawPixel(std::int32_t id, std::size_t spriteIndex, int x, int y, int w, int h) {
    const double u = (x + 0.5) / w * 2 - 1, v = (y + 0.5) / h * 2 - 1;
    const bool gem = (id + static_cast<std::int32_t>(spriteIndex)) % 2 == 1;
    const double d = gem ? std::abs(u) + std::abs(v) : std::sqrt(u * u + v * v);
    if (d > 1.0) return {};
    const double hue = std::fmod(id * 0.137 + spriteIndex * 0.05, 1.0) * 6;
    const double f = hue - std::floor(hue);
    double rgb[3];
    switch (static_cast<int>(hue)) {
    case 0: rgb[0] = 1, rgb[1] = f, rgb[2] = 0; break;
    case 1: rgb[0] = 1 - f, rgb[1] = 1, rgb[2] = 0; break;
    case 2: rgb[0] = 0, rgb[1] = 1, rgb[2] = f; break;
    case 3: rgb[0] = 0, rgb[1] = 1 - f, rgb[2] = 1; break;
    case 4: rgb[0] = f, rgb[1] = 0, rgb[2] = 1; break;
    default: rgb[0] = 1, rgb[1] = 0, rgb[2] = 1 - f; break;
    }
    // Light from the upper left, a darker rim, and a highlight spot.
    double shade = 0.55 + 0.45 * (1 - d) + 0.2 * (-u - v) / 2;
    if (d > 0.85) shade *= 0.6;
    const double spot = std::exp(-((u + 0.35) * (u + 0.35) + (v + 0.35) * (v + 0.35)) * 18);
    Rgb p;
    auto channel = [&](double c) {
        const double value = std::clamp((c * shade + spot) * 255, 8.0, 255.0);
        return static_cast<std::uint8_t>(value);
    };
    p.r = channel(rgb[0]);
    p.g = channel(rgb[1]);
    p.b = channel(rgb[2]);
    if (p.r == 255 && p.g == 0 && p.b == 255) p.g = 8;  // never the transparent colour by accident
    return p;
}

// Shelf packing of sprites onto 256 x 256 pages.
struct Packer {
    int x = 0, y = 0, shelf = 0, page = -1;
    void place(int w, int h, int& px, int& py, int& pp) {
        if (page < 0 || x + w > 256) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        if (page < 0 || y + h > 256) {
            ++page;
            x = y = shelf = 0;
        }
        px = x, py = y, pp = page;
        x += w;
        shelf = std::max(shelf, h);
    }
};

void setPixel(SWDData& swd, int page, int x, int y, Rgb c) {
    const std::size_t need = static_cast<std::size_t>(page + 1) * tessarin::convert::kSWDPageBytes;
    if (swd.Pixels.size() < need) {
        const std::size_t old = swd.Pixels.size();
        swd.Pixels.resize(need);
        for (std::size_t i = old; i < need; i += 3) swd.Pixels[i] = 255, swd.Pixels[i + 1] = 0, swd.Pixels[i + 2] = 255;
    }
    const std::size_t at = static_cast<std::size_t>(page) * tessarin::convert::kSWDPageBytes +
                           static_cast<std::size_t>(y) * tessarin::convert::kSWDRowBytes + static_cast<std::size_t>(x) * 3;
    swd.Pixels[at] = c.r, swd.Pixels[at + 1] = c.g, swd.Pixels[at + 2] = c.b;
}

TRSpriteTexture textureRecord(int page, int x, int y, const SpriteSize& z) {
    TRSpriteTexture t;
    t.Tile = static_cast<std::int16_t>(page);
    t.X = static_cast<std::uint8_t>(x);
    t.Y = static_cast<std::uint8_t>(y);
    // The older games store a sprite's size as pixels * 256 + 255.
    t.Width = static_cast<std::int16_t>((z.width - 1) * 256 + 255);
    t.Height = static_cast<std::int16_t>((z.height - 1) * 256 + 255);
    t.LeftSide = z.left, t.TopSide = z.top, t.RightSide = z.right, t.BottomSide = z.bottom;
    return t;
}

SWDData drawSprites(const std::vector<Sequence>& sequences) {
    SWDData swd;
    Packer packer;
    for (const auto& q : sequences) {
        TRSpriteSequence seq;
        seq.SpriteID = q.id;
        seq.NegativeLength = static_cast<std::int16_t>(-static_cast<int>(q.sprites.size()));
        seq.Offset = static_cast<std::int16_t>(swd.SpriteTextures.size());
        swd.SpriteSequences.push_back(seq);
        for (std::size_t i = 0; i < q.sprites.size(); ++i) {
            const auto& z = q.sprites[i];
            int px = 0, py = 0, page = 0;
            packer.place(z.width, z.height, px, py, page);
            for (int y = 0; y < z.height; ++y)
                for (int x = 0; x < z.width; ++x) setPixel(swd, page, px + x, py + y, drawPixel(q.id, i, x, y, z.width, z.height));
            swd.SpriteTextures.push_back(textureRecord(page, px, py, z));
        }
    }
    return swd;
}

// A level's sprites with the pages they lie on, pages renumbered in the order first used.
SWDData spritesFromLevel(const tessarin::level::TRLevel& level) {
    SWDData swd;
    swd.SpriteSequences = level.SpriteSequences;
    std::map<int, int> pages;
    for (auto t : level.SpriteTextures) {
        if (t.Tile < 0 || t.Tile >= level.NumTextiles) throw std::runtime_error("a sprite lies on a page the level lacks");
        auto [it, added] = pages.emplace(t.Tile, static_cast<int>(pages.size()));
        if (added) {
            const std::size_t first = static_cast<std::size_t>(t.Tile) * tessarin::level::kTextilePixels;
            for (std::size_t i = 0; i < tessarin::level::kTextilePixels; ++i) {
                const std::uint16_t c = level.Textile16[first + i];
                Rgb p;
                if (c & 0x8000) {
                    p.r = static_cast<std::uint8_t>(((c >> 10) & 31) * 8);
                    p.g = static_cast<std::uint8_t>(((c >> 5) & 31) * 8);
                    p.b = static_cast<std::uint8_t>((c & 31) * 8);
                }
                setPixel(swd, it->second, static_cast<int>(i % 256), static_cast<int>(i / 256), p);
            }
        }
        t.Tile = static_cast<std::int16_t>(it->second);
        swd.SpriteTextures.push_back(t);
    }
    return swd;
}

tessarin::level::TRLevel loadSpriteLevel(const std::string& path) {
    auto level = tessarin::level::LoadLevel(path);
    if (!level) throw std::runtime_error(path + ": " + level.error());
    if (level->LevelVersion != tessarin::level::kVersionTR2 && level->LevelVersion != tessarin::level::kVersionTR3)
        throw std::runtime_error(path + ": sprites are taken from TR2 and TR3 levels only");
    return std::move(*level);
}

void listSprites(const tessarin::level::TRLevel& level) {
    std::cout << "# sequence ID, then per sprite: width height left top right bottom\n";
    for (const auto& q : level.SpriteSequences) {
        std::cout << "sequence " << q.SpriteID << "\n";
        for (int i = 0; i < -q.NegativeLength; ++i) {
            const std::size_t k = static_cast<std::size_t>(q.Offset + i);
            if (k >= level.SpriteTextures.size()) break;
            const auto& t = level.SpriteTextures[k];
            std::cout << "sprite " << (static_cast<std::uint16_t>(t.Width) >> 8) + 1 << ' '
                      << (static_cast<std::uint16_t>(t.Height) >> 8) + 1 << ' ' << t.LeftSide << ' ' << t.TopSide
                      << ' ' << t.RightSide << ' ' << t.BottomSide << "\n";
        }
    }
}

int usage() {
    std::cerr << "usage: make-swd (--sprites LIST | --from LEVEL) -o OUT\n       make-swd --list LEVEL\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string sprites, from, list, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--sprites") sprites = argv[i + 1];
        else if (opt == "--from") from = argv[i + 1];
        else if (opt == "--list") list = argv[i + 1];
        else if (opt == "-o") out = argv[i + 1];
        else return usage();
    }
    try {
        if (!list.empty()) {
            listSprites(loadSpriteLevel(list));
            return 0;
        }
        if (out.empty() || sprites.empty() == from.empty()) return usage();
        const SWDData swd = from.empty() ? drawSprites(readList(sprites)) : spritesFromLevel(loadSpriteLevel(from));
        const auto bytes = tessarin::convert::SerializeSWD(swd);
        if (auto st = tessarin::util::writeFileSafely(out, bytes); !st) throw std::runtime_error(st.error());
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make-swd: " << e.what() << "\n";
        return 1;
    }
}
