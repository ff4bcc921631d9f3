#pragma once
// LevelComposer: puts a level together from box-shaped rooms and the things placed in them, then
// builds what follows from them: textured room geometry, portals, floor data, boxes, lights.
// The sample levels and the large benchmark levels are both composed with it.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "LevelFactory.h"
#include "TexturePage.h"
#include "level/TRLevel.h"

namespace tessarin::levelgen {

struct RoomSpec {
    int x = 0, z = 0;          // corner, in world sectors
    int width = 4, depth = 4;  // sectors along x and z, the wall ring included
    int floor = 0;             // world y of the floor (y grows downwards)
    int ceiling = -2048;       // world y of the ceiling
    Material wall = Material::StoneWall, floorMaterial = Material::StoneFloor, ceilingMaterial = Material::Ceiling;
};

class LevelComposer {
public:
    LevelComposer(std::int16_t version, std::uint32_t seed);

    std::int16_t version() const { return m_version; }
    level::TRLevel& level() { return m_level; }

    int addRoom(const RoomSpec& room);
    // A doorway (portals and door entries both ways) through the wall two neighbouring rooms share:
    // rooms that touch overlap by their two wall rings. Throws BuildError when they share no wall.
    void connect(int a, int b, int maxWidth = 2);
    // An opening from `lower` up into `upper` over world sectors [x0, x1] x [z0, z1].
    void stack(int upper, int lower, int x0, int z0, int x1, int z1);
    void slope(int room, int x, int z, int xSlope, int zSlope);
    void monkey(int room, int x, int z);
    void code20(int room, int x, int z);  // minecart left (TR3)
    void code21(int room, int x, int z);  // minecart right (TR3)
    void trigger(int room, int x, int z, int type, std::uint16_t setup, const std::vector<TriggerAction>& actions);

    int defineStatic(int objectId, int mesh);   // returns its index in StaticMeshes
    void defineObject(int objectId, int mesh);  // a one-mesh moveable
    void placeStatic(int room, int x, int z, int objectId, int angleDegrees);
    // An item at the centre of a room-relative sector, standing on its floor; returns its index.
    int addItem(int objectId, int room, int x, int z, int angleDegrees, int ocb = 0, std::uint16_t flags = 0);
    int addCamera(int room, int x, int z, int height);
    void addAIObject(int objectId, int room, int x, int z, int ocb = 0);
    void setDemo(const std::vector<std::int32_t>& words);
    // Extra decorative faces so that a room holds at least `faces` textured faces.
    void padFaces(int room, int faces);

    // Builds geometry, portals, floor data and boxes; the composer is spent afterwards.
    level::TRLevel finish();

    int roomCount() const { return static_cast<int>(m_rooms.size()); }
    const RoomSpec& room(int i) const { return m_rooms.at(static_cast<std::size_t>(i)); }

private:
    struct SectorExtras {
        int door = -1;
        int xSlope = 0, zSlope = 0;
        bool sloped = false, monkey = false;
        int code = 0;  // 20 or 21
        bool hasTrigger = false;
        int triggerType = 0;
        std::uint16_t setup = 0;
        std::vector<TriggerAction> actions;
        int doorTop = 0;  // for doorway sectors: world y of the doorway's top
    };
    SectorExtras& extras(int room, int x, int z);
    const SectorExtras* findExtras(int room, int x, int z) const;
    level::TRSector& sector(int room, int x, int z);
    void checkSector(int room, int x, int z, const char* what) const;
    void buildGeometry(int room);
    void buildBoxes();
    int floorAt(int room, int x, int z) const;

    std::int16_t m_version;
    std::uint32_t m_seed;
    level::TRLevel m_level;
    std::vector<RoomSpec> m_rooms;
    std::map<std::tuple<int, int, int>, SectorExtras> m_extras;
    std::vector<std::vector<int>> m_neighbours;
    std::vector<int> m_padFaces;
    bool m_hasMoveables = false;
};

}  // namespace tessarin::levelgen
