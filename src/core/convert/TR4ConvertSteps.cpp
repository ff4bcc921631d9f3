// The conversion's steps, each over the record the TR4 reader filled.
#include "convert/TR4ConvertSteps.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <string>
#include <unordered_map>

#include "util/Result.h"

namespace tessarin::convert::detail {

using level::kVersionTR2;

std::int64_t roundHalfEven(double value) {
    if (!std::isfinite(value)) return 0;
    const double r = value - std::floor(value) == 0.5 ? 2.0 * std::round(value / 2.0) : std::round(value);
    return static_cast<std::int64_t>(r);
}

namespace {
// Light fades are floats in TR4; far out-of-range values are clamped rather than overflowing.
std::int32_t toInt32(float value) {
    const double v = std::clamp(static_cast<double>(value), double{std::numeric_limits<std::int32_t>::min()},
                                double{std::numeric_limits<std::int32_t>::max()});
    return static_cast<std::int32_t>(roundHalfEven(v));
}
}  // namespace

std::int16_t tr2VertexLighting(std::int16_t lighting, std::int16_t colour) {
    const int a = lighting % 256;  // truncating remainder keeps the sign of the word
    const int c = colour % 256;
    const int b = static_cast<std::uint16_t>(lighting) >> 8;
    // A third is never halfway between two whole numbers, so rounding half-even is rounding to
    // the nearest, which is floor((sum + 1) / 3). The sum is at least -510: shifted by 170 thirds
    // it divides without a sign, and without a branch on it, which vertex lights of either sign
    // mispredicted (this runs for every vertex of every room).
    const int sum = a + b + c;
    return static_cast<std::int16_t>((sum + 1 + 510) / 3 - 170);
}

std::int16_t ambientFromColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    // Evaluated left to right in doubles and then cut, so sums such as 85+85+85 come out as the
    // original program's arithmetic gives them.
    const double sum = 8192.0 * red / 255 + 8192.0 * green / 255 + 8192.0 * blue / 255;
    return static_cast<std::int16_t>(roundHalfEven(8192 - std::floor(sum) / 3));
}

std::uint16_t tr2BoxIndex(std::uint16_t boxIndex) {
    // TR4 keeps the box in bits 4-14 (all set: no box) beside the material; TR2 holds the box
    // alone and marks no box with 0xFFFF. Box 1023 instead would name a box the level lacks, and
    // dropping bit 14 would make box k + 1024 box k.
    const std::uint16_t box = (boxIndex & 0x7FF0) >> 4;
    return box == 0x7FF ? std::uint16_t{0xFFFF} : box;
}

namespace {

void convertLights(level::TRRoom& room, std::int16_t target) {
    std::vector<level::TRLight> kept;
    for (level::TRLight l : room.Lights) {
        // The older games know only point lights.
        if (l.LightType != 1) continue;
        l.X = l.X4;
        l.Y = l.Y4;
        l.Z = l.Z4;
        l.Fade1 = toInt32(l.Out);
        l.Fade2 = toInt32(l.In);
        const int red = l.Colour[0], green = l.Colour[1], blue = l.Colour[2];
        if (target == kVersionTR2) {
            l.Intensity1 = l.Intensity2 = static_cast<std::int16_t>(roundHalfEven((red + green + blue) / 3.0 * 32));
        } else {
            l.Intensity1 = static_cast<std::int16_t>(red + 256 * green);  // above 32767 wraps negative
            l.Intensity2 = static_cast<std::int16_t>(blue);
        }
        kept.push_back(l);
    }
    room.Lights = std::move(kept);
}

}  // namespace

void convertRoom(level::TRRoom& room, std::int16_t target) {
    if (target == kVersionTR2) {
        for (auto& v : room.Vertices) v.Lighting = v.Lighting2 = tr2VertexLighting(v.Lighting, v.Lighting2);
        for (auto& s : room.Sectors) s.BoxIndex = tr2BoxIndex(s.BoxIndex);
    }
    room.AmbientIntensity1 = ambientFromColour(room.Colour[0], room.Colour[1], room.Colour[2]);
    room.AmbientIntensity2 = 0;
    convertLights(room, target);
}

std::vector<level::TRMesh> convertMeshes(level::TRLevel& level) {
    // The converted meshes follow as many zero bytes as the TR4 block held; nothing points there.
    const std::vector<std::uint8_t> tr4Mesh = std::move(level.MeshData);
    level.MeshData.assign(tr4Mesh.size(), 0);
    const std::size_t pointers = level.MeshPointers.size();
    std::unordered_map<std::int32_t, std::int32_t> moved;
    std::vector<level::TRMesh> meshes;
    // Meshes of an honest file do not overlap, so their TR4 sizes add up to the block at most.
    // Overlapping ones could make each pointer a mesh of nearly the whole block.
    std::uint64_t parsedBytes = 0;
    for (std::size_t i = 0; i < pointers; ++i) {
        const std::int32_t p = level.MeshPointers[i];
        auto it = moved.find(p);
        if (it == moved.end()) {
            auto mesh = level::ParseMesh(tr4Mesh, p, level::kVersionTR4);
            if (!mesh)
                throw util::Error("level data, mesh pointer " + std::to_string(i) + " of " + std::to_string(pointers) +
                                  ", " + mesh.error());
            parsedBytes += level::MeshByteSize(*mesh, level::kVersionTR4);
            if (parsedBytes > tr4Mesh.size())
                throw util::Error("level data: " + std::to_string(pointers) + " mesh pointers name " +
                                  std::to_string(meshes.size() + 1) + " distinct meshes of " +
                                  std::to_string(parsedBytes) + " bytes or more, more than the " +
                                  std::to_string(tr4Mesh.size()) + " bytes of mesh data (the meshes overlap)");
            const std::uint32_t offset = level::AppendMesh(level, *mesh);
            meshes.push_back(std::move(*mesh));
            it = moved.emplace(p, static_cast<std::int32_t>(offset)).first;
        }
        level.MeshPointers[i] = it->second;
    }
    return meshes;
}

void toCornerForm(level::TRObjectTexture& t) {
    std::size_t corners = 4;
    if (t.Tile < 0) {
        // Bit 15 marks a three-cornered texture; its fourth corner is emptied.
        t.Tile = static_cast<std::int16_t>(t.Tile & 0x7FF);
        t.Vertices[3] = {};
        corners = 3;
    }
    std::uint8_t minX = 255, maxX = 0, minY = 255, maxY = 0;
    for (std::size_t k = 0; k < corners; ++k) {
        minX = std::min(minX, t.Vertices[k].XPixel);
        maxX = std::max(maxX, t.Vertices[k].XPixel);
        minY = std::min(minY, t.Vertices[k].YPixel);
        maxY = std::max(maxY, t.Vertices[k].YPixel);
    }
    for (std::size_t k = 0; k < corners; ++k) {
        auto& c = t.Vertices[k];
        if (c.XPixel == minX) c.XCoordinate = 1;
        if (c.XPixel == maxX) c.XCoordinate = 255;
        if (c.YPixel == minY) c.YCoordinate = 1;
        if (c.YPixel == maxY) c.YCoordinate = 255;
    }
    // The older games add one to the high pixel. A texture whose high pixel is 0 has no width to
    // take it from, so it keeps its 0 instead of wrapping to 255.
    for (std::size_t k = 0; k < corners; ++k) {
        auto& c = t.Vertices[k];
        if (maxX % 2 == 0 && maxX > 0 && c.XPixel == maxX) c.XPixel = static_cast<std::uint8_t>(maxX - 1);
        if (maxY % 2 == 0 && maxY > 0 && c.YPixel == maxY) c.YPixel = static_cast<std::uint8_t>(maxY - 1);
    }
}

namespace {

// Converts the rotation words of one frame of a moveable with `meshes` meshes. A word that an
// earlier walk already stepped on ends the walk: from there on it follows the earlier one's steps.
void convertFrame(std::span<std::int16_t> frames, std::vector<bool>& walked, std::size_t start, int meshes) {
    std::size_t pos = start + 9;  // after the bounding box and the offset
    for (int m = 0; m < meshes && pos < frames.size() && !walked[pos]; ++m) {
        walked[pos] = true;
        const auto w = static_cast<std::uint16_t>(frames[pos]);
        if ((w & 0xC000) == 0) {
            // Three-axis rotation: two words, the same in both forms.
            if (pos + 1 < frames.size()) walked[pos + 1] = true;
            pos += 2;
            continue;
        }
        const auto angle = roundHalfEven((w & 0xFFF) / 4.0);
        frames[pos] = static_cast<std::int16_t>(static_cast<std::uint16_t>(angle + (w & 0xC000)));
        ++pos;
    }
}

// The smallest animation at or after `a` that no moveable has converted yet (path-halving over
// the `next` links, so ranges that several moveables claim are walked once).
std::size_t firstOpen(std::vector<std::size_t>& next, std::size_t a) {
    while (next[a] != a) {
        next[a] = next[next[a]];
        a = next[a];
    }
    return a;
}

}  // namespace

void convertFrames(level::TRLevel& level) {
    const auto& anims = level.Animations;
    const auto& moveables = level.Moveables;
    const std::size_t numFrames = level.Frames.size();
    std::vector<bool> walked(numFrames, false);
    std::vector<std::size_t> open(anims.size() + 1);
    for (std::size_t a = 0; a < open.size(); ++a) open[a] = a;

    // The moveable's animations end where the next animated moveable's begin.
    std::vector<std::int64_t> rangeEnd(moveables.size());
    std::int64_t end = static_cast<std::int64_t>(anims.size());
    for (std::size_t m = moveables.size(); m-- > 0;) {
        rangeEnd[m] = end;
        if (moveables[m].Animation != -1) end = moveables[m].Animation;
    }

    // Honest animations do not share frames, so they hold no more frames than Frames has words.
    std::size_t framesVisited = 0;
    for (std::size_t m = 0; m < moveables.size(); ++m) {
        if (moveables[m].Animation == -1) continue;
        const auto first = static_cast<std::size_t>(std::max<std::int64_t>(moveables[m].Animation, 0));
        const auto last = static_cast<std::size_t>(
            std::clamp<std::int64_t>(rangeEnd[m], 0, static_cast<std::int64_t>(anims.size())));
        for (std::size_t a = first < last ? firstOpen(open, first) : last; a < last; a = firstOpen(open, a)) {
            open[a] = a + 1;
            const auto& anim = anims[a];
            if (anim.FrameSize == 0 || anim.FrameOffset < 0) continue;
            // The last animation of the level has no next one: its frames run to the end of Frames.
            const std::int64_t next = a + 1 < anims.size() ? anims[a + 1].FrameOffset
                                                           : static_cast<std::int64_t>(numFrames) * 2;
            const std::int64_t count = (next - anim.FrameOffset) / 2 / anim.FrameSize;
            for (std::int64_t f = 0; f < count; ++f) {
                const std::int64_t start = anim.FrameOffset / 2 + f * anim.FrameSize;
                if (start + 9 >= static_cast<std::int64_t>(numFrames)) break;
                if (++framesVisited > numFrames)
                    throw util::Error("animations: their frames overlap; they name more frames than the " +
                                      std::to_string(numFrames) + " frame words can hold");
                convertFrame(level.Frames, walked, static_cast<std::size_t>(start), moveables[m].NumMeshes);
            }
        }
    }
}

}  // namespace tessarin::convert::detail
