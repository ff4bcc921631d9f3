// TR4 room layout as the converter reads it:
//   X, Z, YBottom, YTop 4 each | NumDataWords 4 | vertices 12 each | rectangles 10 | triangles 8
//   | sprites 4 | portals 32 | NumZSectors, NumXSectors, sectors 8 each | colour 4
//   | lights 46 each | statics 20 each | AlternateRoom 2, Flags 2 | water, reverb, alternate group 1 each
#include "convert/TR4ConvertSteps.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "level/RecordIO.h"

namespace tessarin::convert::detail {

using level::kVersionTR2;
using util::ByteReader;

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
    return static_cast<std::int16_t>(roundHalfEven((a + b + c) / 3.0));
}

std::int16_t ambientFromColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    // Evaluated left to right in doubles and then cut, so sums such as 85+85+85 come out as the
    // original program's arithmetic gives them.
    const double sum = 8192.0 * red / 255 + 8192.0 * green / 255 + 8192.0 * blue / 255;
    return static_cast<std::int16_t>(roundHalfEven(8192 - std::floor(sum) / 3));
}

std::uint16_t tr2BoxIndex(std::uint16_t boxIndex) { return static_cast<std::uint16_t>((boxIndex & 0x3FF0) / 16); }

namespace {

void readLights(ByteReader& r, level::TRRoom& room, std::int16_t target) {
    const std::size_t n = r.checkCount(r.i16("light count"), level::io::kLightTR4Size, "lights");
    room.Lights.clear();
    for (std::size_t i = 0; i < n; ++i) {
        level::TRLight l;
        level::io::readLightTR4(r, l);
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
        room.Lights.push_back(l);
    }
}

}  // namespace

void readRoom(ByteReader& r, level::TRRoom& room, std::int16_t target) {
    level::io::readRoomHeadToSectors(r, room, 12);
    if (target == kVersionTR2) {
        for (auto& v : room.Vertices) v.Lighting = v.Lighting2 = tr2VertexLighting(v.Lighting, v.Lighting2);
        for (auto& s : room.Sectors) s.BoxIndex = tr2BoxIndex(s.BoxIndex);
    }

    room.WaterScheme = r.u8("colour");
    room.ReverbInfo = r.u8("colour");
    room.AlternateGroup = r.u8("colour");
    room.RoomExtra = r.u8("colour");
    room.AmbientIntensity1 = ambientFromColour(room.WaterScheme, room.ReverbInfo, room.AlternateGroup);
    room.AmbientIntensity2 = 0;

    readLights(r, room, target);

    level::io::readList(r, room.StaticMeshes, r.i16("static mesh count"), level::io::kRoomStaticSize, "static meshes");
    room.AlternateRoom = r.i16("alternate room");
    room.Flags = r.i16("flags");
    room.WaterScheme = r.u8("water scheme");
    room.ReverbInfo = r.u8("reverb");
    room.AlternateGroup = r.u8("alternate group");
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

// Converts the rotation words of one frame of a moveable with `meshes` meshes.
void convertFrame(std::vector<std::int16_t>& frames, std::vector<bool>& done, std::size_t start, int meshes) {
    std::size_t pos = start + 9;  // after the bounding box and the offset
    for (int m = 0; m < meshes && pos < frames.size(); ++m) {
        const auto w = static_cast<std::uint16_t>(frames[pos]);
        if ((w & 0xC000) == 0) {
            pos += 2;  // three-axis rotation: two words, the same in both forms
            continue;
        }
        if (!done[pos]) {
            const auto angle = roundHalfEven((w & 0xFFF) / 4.0);
            frames[pos] = static_cast<std::int16_t>(static_cast<std::uint16_t>(angle + (w & 0xC000)));
            done[pos] = true;
        }
        ++pos;
    }
}

}  // namespace

void convertFrames(level::TRLevel& level) {
    auto& anims = level.Animations;
    std::vector<bool> done(level.Frames.size(), false);
    const auto& moveables = level.Moveables;
    for (std::size_t m = 0; m < moveables.size(); ++m) {
        if (moveables[m].Animation == -1) continue;
        // The moveable's animations end where the next animated moveable's begin.
        std::int64_t first = moveables[m].Animation;
        std::int64_t end = static_cast<std::int64_t>(anims.size());
        for (std::size_t n = m + 1; n < moveables.size(); ++n)
            if (moveables[n].Animation != -1) {
                end = moveables[n].Animation;
                break;
            }
        first = std::max<std::int64_t>(first, 0);
        end = std::min<std::int64_t>(end, static_cast<std::int64_t>(anims.size()));
        for (std::int64_t a = first; a < end; ++a) {
            const auto& anim = anims[static_cast<std::size_t>(a)];
            if (anim.FrameSize == 0 || anim.FrameOffset < 0) continue;
            // The last animation of the level has no next one: its frames run to the end of Frames.
            const std::int64_t next = a + 1 < static_cast<std::int64_t>(anims.size())
                                          ? anims[static_cast<std::size_t>(a + 1)].FrameOffset
                                          : static_cast<std::int64_t>(level.Frames.size()) * 2;
            const std::int64_t count = (next - anim.FrameOffset) / 2 / anim.FrameSize;
            for (std::int64_t f = 0; f < count; ++f) {
                const std::int64_t start = anim.FrameOffset / 2 + f * anim.FrameSize;
                if (start + 9 >= static_cast<std::int64_t>(level.Frames.size())) break;
                convertFrame(level.Frames, done, static_cast<std::size_t>(start), moveables[m].NumMeshes);
            }
        }
    }
}

}  // namespace tessarin::convert::detail
