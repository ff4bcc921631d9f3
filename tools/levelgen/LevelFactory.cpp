#include "LevelFactory.h"

#include "LevelBuilder.h"

namespace tessarin::levelgen {

using namespace tessarin::level;

TRLevel emptyLevel(std::int16_t version) {
    TRLevel L;
    L.LevelVersion = version;
    L.Version = defaultMagic(version);
    L.FloorData.push_back(0);
    return L;
}

TRRoom boxRoom(int sectorX, int sectorZ, int xs, int zs, int floorY, int ceilingY) {
    TRRoom r;
    r.X = sectorX * kSector;
    r.Z = sectorZ * kSector;
    r.YBottom = floorY;
    r.YTop = ceilingY;
    r.NumXSectors = static_cast<std::int16_t>(xs);
    r.NumZSectors = static_cast<std::int16_t>(zs);
    r.Sectors.resize(static_cast<std::size_t>(xs) * static_cast<std::size_t>(zs));
    for (int x = 0; x < xs; ++x)
        for (int z = 0; z < zs; ++z) {
            TRSector& s = r.sector(x, z);
            const bool wall = x == 0 || z == 0 || x == xs - 1 || z == zs - 1;
            s.Floor = static_cast<std::int8_t>(wall ? -127 : floorY / kClick);
            s.Ceiling = static_cast<std::int8_t>(wall ? -127 : ceilingY / kClick);
            s.BoxIndex = wall ? 0xFFFF : 0;
        }
    r.AmbientIntensity1 = r.AmbientIntensity2 = 0x1000;
    return r;
}

void FloorDataList::entry(int code, int sub) {
    m_lastFunction = m_words.size();
    m_words.push_back(static_cast<std::uint16_t>((code & 0x1F) | ((sub & 0x7F) << 8)));
}

FloorDataList& FloorDataList::door(int room) {
    entry(1, 0);
    m_words.push_back(static_cast<std::uint16_t>(room));
    return *this;
}

static std::uint16_t slopeWord(int xSlope, int zSlope) {
    return static_cast<std::uint16_t>((xSlope & 0xFF) | ((zSlope & 0xFF) << 8));
}

FloorDataList& FloorDataList::floorSlope(int xSlope, int zSlope) {
    entry(2, 0);
    m_words.push_back(slopeWord(xSlope, zSlope));
    return *this;
}

FloorDataList& FloorDataList::ceilingSlope(int xSlope, int zSlope) {
    entry(3, 0);
    m_words.push_back(slopeWord(xSlope, zSlope));
    return *this;
}

FloorDataList& FloorDataList::trigger(int type, std::uint16_t setup, const std::vector<TriggerAction>& actions) {
    entry(4, type);
    m_words.push_back(setup);
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const auto& a = actions[i];
        const bool last = i + 1 == actions.size();
        const bool hasExtra = a.kind == kCamera || a.kind == kFlyby;
        std::uint16_t w = static_cast<std::uint16_t>((a.parameter & 0x1FF) | ((a.kind & 0xF) << 10));
        // With an extra word, that word carries the last-action bit.
        if (last && !hasExtra) w |= 0x8000;
        m_words.push_back(w);
        if (hasExtra) m_words.push_back(static_cast<std::uint16_t>(last ? (a.extra | 0x8000) : (a.extra & 0x7FFF)));
    }
    return *this;
}

FloorDataList& FloorDataList::kill() { entry(5, 0); return *this; }
FloorDataList& FloorDataList::climb(int sides) { entry(6, sides); return *this; }
FloorDataList& FloorDataList::monkey() { entry(19, 0); return *this; }
FloorDataList& FloorDataList::code20() { entry(20, 0); return *this; }
FloorDataList& FloorDataList::code21() { entry(21, 0); return *this; }

std::vector<std::uint16_t> FloorDataList::words() const {
    auto w = m_words;
    if (!w.empty()) w[m_lastFunction] |= 0x8000;
    return w;
}

std::uint16_t FloorDataList::appendTo(TRLevel& level) const {
    if (m_words.empty()) return 0;
    if (level.FloorData.empty()) level.FloorData.push_back(0);  // keep index 0 meaning "no list"
    const auto index = static_cast<std::uint16_t>(level.FloorData.size());
    const auto w = words();
    level.FloorData.insert(level.FloorData.end(), w.begin(), w.end());
    return index;
}

TRPortal wallPortal(int adjoiningRoom, bool wallAtX, int wallPos, int from, int to, int yTop, int yBottom,
                    int normalSign) {
    TRPortal p;
    p.AdjoiningRoom = static_cast<std::int16_t>(adjoiningRoom);
    auto s16 = [](int v) { return static_cast<std::int16_t>(v); };
    if (wallAtX) {
        p.Normal = {s16(normalSign), 0, 0};
        p.Vertices = {TRVertex16{s16(wallPos), s16(yTop), s16(from)}, TRVertex16{s16(wallPos), s16(yTop), s16(to)},
                      TRVertex16{s16(wallPos), s16(yBottom), s16(to)}, TRVertex16{s16(wallPos), s16(yBottom), s16(from)}};
    } else {
        p.Normal = {0, 0, s16(normalSign)};
        p.Vertices = {TRVertex16{s16(from), s16(yTop), s16(wallPos)}, TRVertex16{s16(to), s16(yTop), s16(wallPos)},
                      TRVertex16{s16(to), s16(yBottom), s16(wallPos)}, TRVertex16{s16(from), s16(yBottom), s16(wallPos)}};
    }
    return p;
}

TRPortal flatPortal(int adjoiningRoom, int x0, int z0, int x1, int z1, int y, int normalSign) {
    TRPortal p;
    auto s16 = [](int v) { return static_cast<std::int16_t>(v); };
    p.AdjoiningRoom = s16(adjoiningRoom);
    p.Normal = {0, s16(normalSign), 0};
    p.Vertices = {TRVertex16{s16(x0 * kSector), s16(y), s16(z0 * kSector)}, TRVertex16{s16(x1 * kSector), s16(y), s16(z0 * kSector)},
                  TRVertex16{s16(x1 * kSector), s16(y), s16(z1 * kSector)}, TRVertex16{s16(x0 * kSector), s16(y), s16(z1 * kSector)}};
    return p;
}

}  // namespace tessarin::levelgen
