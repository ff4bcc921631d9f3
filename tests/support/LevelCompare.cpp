#include "support/LevelCompare.h"

#include <sstream>

namespace tessarin::test {

using namespace tessarin::level;

namespace {

// Each record becomes a line of its numbers; two records are equal when their lines are.
struct Line {
    std::ostringstream s;
    template <typename... T>
    Line& operator()(const T&... v) {
        ((s << +v << ' '), ...);
        return *this;
    }
    template <typename T, std::size_t N>
    Line& arr(const std::array<T, N>& a) {
        for (const auto& v : a) s << +v << ' ';
        return *this;
    }
    std::string str() const { return s.str(); }
};

std::string text(const TRRoomVertex& v) { return Line()(v.X, v.Y, v.Z, v.Lighting, v.Attributes, v.Lighting2).str(); }
std::string text(const TRRoomQuad& q) { return Line().arr(q.Vertices)(q.Texture, q.FaceFlags).str(); }
std::string text(const TRRoomTriangle& t) { return Line().arr(t.Vertices)(t.Texture, t.FaceFlags).str(); }
std::string text(const TRRoomSprite& s) { return Line()(s.Vertex, s.Texture).str(); }
std::string text(const TRPortal& p) {
    Line l;
    l(p.AdjoiningRoom, p.Normal.X, p.Normal.Y, p.Normal.Z);
    for (const auto& v : p.Vertices) l(v.X, v.Y, v.Z);
    return l.str();
}
std::string text(const TRSector& s) { return Line()(s.FDIndex, s.BoxIndex, s.RoomBelow, s.Floor, s.RoomAbove, s.Ceiling).str(); }
std::string text(const TRRoomStatic& s) { return Line()(s.X, s.Y, s.Z, s.Rotation, s.Intensity1, s.Intensity2, s.ObjectID).str(); }
std::string text(const TRAnimation& a) {
    return Line()(a.FrameOffset, a.FrameRate, a.FrameSize, a.StateID).arr(a.Velocity)(a.FrameStart, a.FrameEnd,
        a.NextAnimation, a.NextFrame, a.NumStateChanges, a.StateChangeOffset, a.NumAnimCommands, a.AnimCommand).str();
}
std::string text(const TRStateChange& s) { return Line()(s.StateID, s.NumAnimDispatches, s.AnimDispatch).str(); }
std::string text(const TRAnimDispatch& a) { return Line()(a.Low, a.High, a.NextAnimation, a.NextFrame).str(); }
std::string text(const TRMoveable& m) { return Line()(m.ObjectID, m.NumMeshes, m.StartingMesh, m.MeshTree, m.FrameOffset, m.Animation).str(); }
std::string text(const TRStaticMesh& s) { return Line()(s.ObjectID, s.Mesh).arr(s.VisibilityBox).arr(s.CollisionBox)(s.Flags).str(); }
std::string text(const TRSpriteTexture& s) {
    return Line()(s.Tile, s.X, s.Y, s.Width, s.Height, s.LeftSide, s.TopSide, s.RightSide, s.BottomSide).str();
}
std::string text(const TRSpriteSequence& s) { return Line()(s.SpriteID, s.NegativeLength, s.Offset).str(); }
std::string text(const TRCamera& c) { return Line()(c.X, c.Y, c.Z, c.Room, c.Flag).str(); }
std::string text(const TRFlybyCamera& f) { return Line().arr(f).str(); }
std::string text(const TRSoundSource& s) { return Line()(s.X, s.Y, s.Z, s.SoundID, s.Flags).str(); }
std::string text(const TRBox& b) { return Line()(b.Zmin, b.Zmax, b.Xmin, b.Xmax, b.TrueFloor, b.OverlapIndex).str(); }
std::string text(const TRItem& i) { return Line()(i.ObjectID, i.Room, i.X, i.Y, i.Z, i.Angle, i.Intensity1, i.OCB, i.Flags).str(); }
std::string text(const TRAIObject& a) { return Line()(a.ObjectID, a.Room, a.X, a.Y, a.Z).arr(a.Extra).str(); }
std::string text(const TRCinematicFrame& c) {
    return Line()(c.TargetX, c.TargetY, c.TargetZ, c.PosZ, c.PosY, c.PosX, c.FOV, c.Roll).str();
}
std::string text(const TRSoundDetail& s) { return Line()(s.Sample, s.Volume, s.Chance, s.Characteristics).str(); }
std::string text(std::int16_t v) { return std::to_string(v); }
std::string text(std::uint16_t v) { return std::to_string(v); }
std::string text(std::int32_t v) { return std::to_string(v); }
std::string text(std::uint8_t v) { return std::to_string(v); }
std::string text(std::uint32_t v) { return std::to_string(v); }
std::string text(std::uint64_t v) { return std::to_string(v); }
std::string text(const std::string& s) { return s; }

class Comparer {
public:
    std::string diff;

    template <typename T>
    void value(const std::string& what, const T& e, const T& a) {
        if (!diff.empty()) return;
        const std::string te = text(e), ta = text(a);
        if (te != ta) diff = what + ": expected " + te + ", read " + ta;
    }
    template <typename List>
    void list(const std::string& what, const List& e, const List& a) {
        if (!diff.empty()) return;
        if (e.size() != a.size()) {
            diff = what + ": expected " + std::to_string(e.size()) + " elements, read " + std::to_string(a.size());
            return;
        }
        for (std::size_t i = 0; i < e.size() && diff.empty(); ++i) value(what + " " + std::to_string(i), e[i], a[i]);
    }
};

std::string text(const TRLight& l, std::int16_t v) {
    Line s;
    if (v < kVersionTR4) s(l.X, l.Y, l.Z, l.Intensity1, l.Intensity2, l.Fade1, l.Fade2);
    else if (v == kVersionTR4)
        s(l.X4, l.Y4, l.Z4).arr(l.Colour)(l.LightType, l.LightExtra, l.Intensity, l.In, l.Out, l.Length, l.CutOff,
                                         l.DirX, l.DirY, l.DirZ);
    else s(l.X5, l.Y5, l.Z5, l.Red, l.Green, l.Blue, l.In, l.Out, l.Length, l.CutOff, l.Range, l.DirX5, l.DirY5,
           l.DirZ5, l.X, l.Y, l.Z, l.LightType);
    return s.str();
}

std::string text(const TRObjectTexture& t, std::int16_t v) {
    Line s;
    s(t.Attribute, t.Tile);
    for (const auto& c : t.Vertices) s(c.XCoordinate, c.XPixel, c.YCoordinate, c.YPixel);
    if (v >= kVersionTR4) s(t.NewFlags).arr(t.SourceUV)(t.Width, t.Height);
    return s.str();
}

void compareRoom(Comparer& c, const std::string& at, const TRRoom& e, const TRRoom& a, std::int16_t v) {
    c.value(at + ", position", Line()(e.X, e.Z, e.YBottom, e.YTop).str(), Line()(a.X, a.Z, a.YBottom, a.YTop).str());
    if (e.NumDataWords != 0 && v < kVersionTR5) c.value(at + ", NumDataWords", e.NumDataWords, a.NumDataWords);
    if (v == kVersionTR5) {
        // TR5 vertices hold only a position.
        for (std::size_t i = 0; i < e.Vertices.size() && i < a.Vertices.size(); ++i)
            c.value(at + ", vertex " + std::to_string(i), Line()(e.Vertices[i].X, e.Vertices[i].Y, e.Vertices[i].Z).str(),
                    Line()(a.Vertices[i].X, a.Vertices[i].Y, a.Vertices[i].Z).str());
        c.value(at + ", vertex count", e.Vertices.size(), a.Vertices.size());
    } else {
        c.list(at + ", vertex", e.Vertices, a.Vertices);
    }
    c.list(at + ", rectangle", e.Rectangles, a.Rectangles);
    c.list(at + ", triangle", e.Triangles, a.Triangles);
    if (v < kVersionTR4) c.list(at + ", sprite", e.Sprites, a.Sprites);
    c.list(at + ", portal", e.Portals, a.Portals);
    c.value(at + ", sector size", Line()(e.NumXSectors, e.NumZSectors).str(), Line()(a.NumXSectors, a.NumZSectors).str());
    c.list(at + ", sector", e.Sectors, a.Sectors);
    if (v < kVersionTR4) {
        c.value(at + ", ambient", Line()(e.AmbientIntensity1, e.AmbientIntensity2).str(),
                Line()(a.AmbientIntensity1, a.AmbientIntensity2).str());
    }
    if (v == kVersionTR2) c.value(at + ", LightMode", e.LightMode, a.LightMode);
    c.value(at + ", light count", e.Lights.size(), a.Lights.size());
    for (std::size_t i = 0; i < e.Lights.size() && i < a.Lights.size(); ++i)
        c.value(at + ", light " + std::to_string(i), text(e.Lights[i], v), text(a.Lights[i], v));
    c.list(at + ", static", e.StaticMeshes, a.StaticMeshes);
    c.value(at + ", AlternateRoom", e.AlternateRoom, a.AlternateRoom);
    c.value(at + ", Flags", e.Flags, a.Flags);
    if (v >= kVersionTR3)
        c.value(at + ", room bytes", Line()(e.WaterScheme, e.ReverbInfo, e.AlternateGroup).str(),
                Line()(a.WaterScheme, a.ReverbInfo, a.AlternateGroup).str());
    if (v >= kVersionTR4) c.value(at + ", RoomExtra", e.RoomExtra, a.RoomExtra);
}

}  // namespace

std::string firstDifference(const TRLevel& e, const TRLevel& a, std::int16_t v) {
    Comparer c;
    c.value("LevelVersion", e.LevelVersion, a.LevelVersion);
    c.value("Version", e.Version, a.Version);
    c.value("NumTextiles", e.NumTextiles, a.NumTextiles);
    if (v < kVersionTR4) {
        c.value("Textile8", e.Textile8.size(), a.Textile8.size());
        if (c.diff.empty() && e.Textile8 != a.Textile8) c.diff = "Textile8 differs";
        c.value("LightMap", Line().arr(e.LightMap).str(), Line().arr(a.LightMap).str());
        c.value("Palette", Line().arr(e.Palette).str(), Line().arr(a.Palette).str());
    }
    if (v > kVersionTR1) {
        c.value("Textile16", e.Textile16.size(), a.Textile16.size());
        if (c.diff.empty() && e.Textile16 != a.Textile16) c.diff = "Textile16 differs";
    }
    if (v == kVersionTR2 || v == kVersionTR3) c.value("Palette16", Line().arr(e.Palette16).str(), Line().arr(a.Palette16).str());
    if (v >= kVersionTR4) {
        c.value("header", Line()(e.NumRoomTextiles, e.NumObjTextiles, e.NumBumpTextiles, e.NumMiscTextiles).str(),
                Line()(a.NumRoomTextiles, a.NumObjTextiles, a.NumBumpTextiles, a.NumMiscTextiles).str());
        if (c.diff.empty() && e.Textile32 != a.Textile32) c.diff = "Textile32 differs";
        if (c.diff.empty() && e.MiscTextile != a.MiscTextile) c.diff = "MiscTextile differs";
    }
    if (v == kVersionTR5) c.value("LaraType WeatherType", Line()(e.LaraType, e.WeatherType).str(), Line()(a.LaraType, a.WeatherType).str());
    c.value("room count", e.Rooms.size(), a.Rooms.size());
    for (std::size_t i = 0; i < e.Rooms.size() && i < a.Rooms.size(); ++i)
        compareRoom(c, "room " + std::to_string(i), e.Rooms[i], a.Rooms[i], v);
    c.list("floor data word", e.FloorData, a.FloorData);
    c.list("mesh data byte", e.MeshData, a.MeshData);
    c.list("mesh pointer", e.MeshPointers, a.MeshPointers);
    if (v < kVersionTR5) {
        c.list("animation", e.Animations, a.Animations);
        c.list("state change", e.StateChanges, a.StateChanges);
        c.list("animation dispatch", e.AnimDispatches, a.AnimDispatches);
        c.list("animation command", e.AnimCommands, a.AnimCommands);
        c.list("mesh tree", e.MeshTrees, a.MeshTrees);
        c.list("frame", e.Frames, a.Frames);
    }
    c.list("moveable", e.Moveables, a.Moveables);
    c.list("static mesh", e.StaticMeshes, a.StaticMeshes);
    if (v < kVersionTR5) {
        c.list("sprite texture", e.SpriteTextures, a.SpriteTextures);
        c.list("sprite sequence", e.SpriteSequences, a.SpriteSequences);
        c.list("camera", e.Cameras, a.Cameras);
        if (v == kVersionTR4) c.list("flyby camera", e.FlybyCameras, a.FlybyCameras);
        c.list("sound source", e.SoundSources, a.SoundSources);
        c.list("box", e.Boxes, a.Boxes);
        c.list("overlap", e.Overlaps, a.Overlaps);
        c.list("zone word", e.Zones, a.Zones);
        c.list("animated texture word", e.AnimatedTextures, a.AnimatedTextures);
    }
    c.value("object texture count", e.ObjectTextures.size(), a.ObjectTextures.size());
    for (std::size_t i = 0; i < e.ObjectTextures.size() && i < a.ObjectTextures.size(); ++i) {
        // TR4/TR5 readers clear bit 15 of the tile.
        TRObjectTexture et = e.ObjectTextures[i];
        if (v >= kVersionTR4) et.Tile = static_cast<std::int16_t>(et.Tile & 0x7FFF);
        c.value("object texture " + std::to_string(i), text(et, v), text(a.ObjectTextures[i], v));
    }
    c.list("item", e.Items, a.Items);
    if (v >= kVersionTR4) c.list("AI object", e.AIObjects, a.AIObjects);
    if (v < kVersionTR5) {
        if (v < kVersionTR4) c.list("cinematic frame", e.CinematicFrames, a.CinematicFrames);
        c.value("NumDemoData", e.NumDemoData, a.NumDemoData);
        c.list("demo word", e.DemoData, a.DemoData);
        c.value("SoundMap", Line().arr(e.SoundMap).str(), Line().arr(a.SoundMap).str());
        c.list("sound detail", e.SoundDetails, a.SoundDetails);
        c.list("sample index", e.SampleIndices, a.SampleIndices);
    }
    return c.diff;
}

}  // namespace tessarin::test
