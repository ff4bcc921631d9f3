// The shipped sample levels and the large generated levels: they load with the program's reader,
// hold what their descriptions promise, and keep doors and portals in agreement.
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

#include "level/LevelReader.h"
#include "level/Mesh.h"
#include "level/LevelWriter.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"
#include "support/LevelCompare.h"

namespace tessarin::levelgen {
namespace {

using namespace tessarin::level;

std::string sampleText(const std::string& name) {
    std::ifstream in(std::string(TESSARIN_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// One floor-data entry as the walk meets it.
struct Entry {
    int code = 0, sub = 0;
    std::vector<std::uint16_t> words;  // the words after the function word
};

// Walks a sector's list; fails the test on a list that runs off the end or has an unknown code.
std::vector<Entry> walk(const std::vector<std::uint16_t>& fd, std::uint16_t index) {
    std::vector<Entry> out;
    if (index == 0) return out;
    std::size_t p = index;
    for (;;) {
        if (p >= fd.size()) { ADD_FAILURE() << "floor data list at " << index << " runs off the end"; return out; }
        const std::uint16_t f = fd[p++];
        Entry e{f & 0x1F, (f >> 8) & 0x7F, {}};
        auto take = [&] {
            if (p >= fd.size()) { ADD_FAILURE() << "entry cut at " << p; return false; }
            e.words.push_back(fd[p++]);
            return true;
        };
        if (e.code == 1 || e.code == 2 || e.code == 3) { if (!take()) return out; }
        else if (e.code == 4) {
            if (!take()) return out;  // setup
            for (;;) {
                if (!take()) return out;
                const std::uint16_t a = e.words.back();
                const int kind = (a >> 10) & 0xF;
                bool last = a & 0x8000;
                if (kind == 1 || kind == 12) { if (!take()) return out; last = e.words.back() & 0x8000; }
                if (last) break;
            }
        } else if (e.code == 0 || e.code > 21) { ADD_FAILURE() << "unknown code " << e.code; return out; }
        out.push_back(e);
        if (f & 0x8000) return out;
    }
}

struct Sample {
    const char* file;
    std::int16_t version;
    const char* name;
};
const Sample kSamples[] = {{"sample-tr3.txt", kVersionTR3, "sample-tr3.tr2"},
                           {"sample-tr2.txt", kVersionTR2, "sample-tr2.tr2"},
                           {"sample-tr4.txt", kVersionTR4, "sample-tr4.tr4"}};

TEST(SampleLevels, LoadWithTheirRoomsAndLaraAsTheFirstItem) {
    for (const auto& s : kSamples) {
        SCOPED_TRACE(s.file);
        const TRLevel L = composeSampleLevel(sampleText(s.file));
        EXPECT_EQ(L.LevelVersion, s.version);
        EXPECT_GE(L.Rooms.size(), 5u);
        EXPECT_LE(L.Rooms.size(), 8u);
        std::set<std::pair<int, int>> sizes;
        for (const auto& r : L.Rooms) {
            EXPECT_FALSE(r.Rectangles.empty());
            EXPECT_FALSE(r.Triangles.empty());
            EXPECT_FALSE(r.Portals.empty());
            sizes.insert({r.NumXSectors, r.NumZSectors});
        }
        EXPECT_GE(sizes.size(), 4u) << "rooms of different sizes";
        ASSERT_FALSE(L.Items.empty());
        EXPECT_EQ(L.Items[0].ObjectID, 0);
        EXPECT_EQ(L.NumDemoData, 16);
        // Every mesh parses in its version's layout and fills the bytes up to the next one (meshes start on 4-byte boundaries).
        std::vector<std::int64_t> starts(L.MeshPointers.begin(), L.MeshPointers.end());
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        ASSERT_FALSE(starts.empty());
        for (std::size_t i = 0; i < starts.size(); ++i) {
            auto mesh = ParseMesh(L.MeshData, starts[i], s.version);
            ASSERT_TRUE(mesh) << mesh.error();
            const auto next = i + 1 < starts.size() ? starts[i + 1] : static_cast<std::int64_t>(L.MeshData.size());
            const auto end = starts[i] + MeshByteSize(*mesh, s.version);
            EXPECT_TRUE(end <= next && next - end < 4) << "mesh at " << starts[i] << " ends at " << end;
        }

        const auto bytes = buildLevel(L);
        auto read = LoadLevelFromBytes(bytes, s.name);
        if (!read && read.error().find("not supported yet") != std::string::npos) continue;
        ASSERT_TRUE(read) << read.error();
        EXPECT_EQ(test::firstDifference(L, *read, s.version), "");
        if (s.version <= kVersionTR3) {
            auto saved = SerializeLevel(*read);
            ASSERT_TRUE(saved) << saved.error();
            EXPECT_TRUE(*saved == bytes) << "resaving the sample changes its bytes";
        }
    }
}

// Every door entry leads to a room with a portal back, and every wall portal has door entries.
void expectDoorsAndPortalsAgree(const TRLevel& L) {
    for (std::size_t a = 0; a < L.Rooms.size(); ++a) {
        const TRRoom& r = L.Rooms[a];
        std::set<int> doorsTo;
        for (const auto& sec : r.Sectors)
            for (const auto& e : walk(L.FloorData, sec.FDIndex))
                if (e.code == 1) doorsTo.insert(e.words[0] & 0xFF);
        for (int b : doorsTo) {
            ASSERT_LT(static_cast<std::size_t>(b), L.Rooms.size()) << "room " << a;
            const auto& back = L.Rooms[static_cast<std::size_t>(b)].Portals;
            EXPECT_TRUE(std::any_of(back.begin(), back.end(), [&](const TRPortal& p) { return p.AdjoiningRoom == static_cast<int>(a); }))
                << "room " << a << " has a door to room " << b << " but no portal comes back";
            EXPECT_TRUE(std::any_of(r.Portals.begin(), r.Portals.end(), [&](const TRPortal& p) { return p.AdjoiningRoom == b; }))
                << "room " << a << " has a door to room " << b << " but no portal to it";
        }
        for (const auto& p : r.Portals) {
            if (p.Normal.Y != 0) continue;
            EXPECT_TRUE(doorsTo.count(p.AdjoiningRoom)) << "room " << a << ": wall portal without a door entry";
        }
    }
}

TEST(SampleLevels, DoorsAndPortalsAgree) {
    for (const auto& s : kSamples) {
        SCOPED_TRACE(s.file);
        expectDoorsAndPortalsAgree(composeSampleLevel(sampleText(s.file)));
    }
}

TEST(SampleLevels, HoldTheFeaturesTheirDescriptionsPromise) {
    for (const auto& s : kSamples) {
        SCOPED_TRACE(s.file);
        const TRLevel L = composeSampleLevel(sampleText(s.file));
        std::multiset<int> codes;
        bool switchOpensDoor = false, padCutsToCamera = false;
        for (std::size_t ri = 0; ri < L.Rooms.size(); ++ri) {
            const TRRoom& r = L.Rooms[ri];
            for (int x = 0; x < r.NumXSectors; ++x)
                for (int z = 0; z < r.NumZSectors; ++z) {
                    const TRSector& sec = r.sector(x, z);
                    // A room above: the sector over this one in that room points back down.
                    if (sec.RoomAbove != 255) {
                        const TRRoom& u = L.Rooms.at(sec.RoomAbove);
                        const int ux = (r.X - u.X) / 1024 + x, uz = (r.Z - u.Z) / 1024 + z;
                        ASSERT_TRUE(u.hasSector(ux, uz));
                        EXPECT_EQ(u.sector(ux, uz).RoomBelow, ri);
                    }
                    for (const auto& e : walk(L.FloorData, sec.FDIndex)) {
                        codes.insert(e.code);
                        if (e.code != 4) continue;
                        const std::uint16_t first = e.words[1];
                        if (e.sub == 2 && e.words.size() == 3) {
                            const auto& lever = L.Items.at(first & 0x1FF);
                            const auto& door = L.Items.at(e.words[2] & 0x1FF);
                            switchOpensDoor = lever.Room == static_cast<int>(ri) && door.ObjectID != lever.ObjectID;
                        }
                        if (e.sub == 1 && ((first >> 10) & 0xF) == 1) padCutsToCamera = (first & 0x1FF) < L.Cameras.size();
                    }
                }
        }
        EXPECT_TRUE(switchOpensDoor);
        EXPECT_TRUE(padCutsToCamera);
        EXPECT_GT(codes.count(1), 0u) << "doors";
        EXPECT_EQ(codes.count(2), 1u) << "one sloped sector";
        EXPECT_EQ(codes.count(19) > 0, s.version >= kVersionTR3) << "a monkey-swing ceiling, which TR2 does not know";
        EXPECT_EQ(codes.count(20) + codes.count(21), s.version == kVersionTR3 ? 2u : 0u) << "minecart turns";
        EXPECT_EQ(L.AIObjects.size(), s.version == kVersionTR4 ? 1u : 0u);
        EXPECT_FALSE(L.Rooms[0].StaticMeshes.empty());
        // Every placed object has a definition whose mesh lies inside the mesh data.
        for (const auto& it : L.Items) {
            auto m = std::find_if(L.Moveables.begin(), L.Moveables.end(), [&](const TRMoveable& mv) { return mv.ObjectID == it.ObjectID; });
            ASSERT_NE(m, L.Moveables.end()) << "object " << it.ObjectID;
            EXPECT_LT(static_cast<std::size_t>(L.MeshPointers.at(static_cast<std::size_t>(m->StartingMesh))), L.MeshData.size());
        }
        for (const auto& st : L.StaticMeshes) EXPECT_LT(static_cast<std::size_t>(st.Mesh), L.MeshPointers.size());
    }
}

TEST(LargeLevels, HoldTheRequestedCountsInEveryVersion) {
    for (std::int16_t v = kVersionTR1; v <= kVersionTR5; ++v) {
        SCOPED_TRACE(v);
        LargeLevelParams p{v, 12, 7, 40, 3, 90, 5};
        const TRLevel L = composeLargeLevel(p);
        ASSERT_EQ(L.Rooms.size(), 12u);
        EXPECT_EQ(L.Items.size(), 40u);
        for (const auto& r : L.Rooms) {
            EXPECT_EQ(r.NumXSectors, 7);
            EXPECT_GE(r.Rectangles.size() + r.Triangles.size(), 90u);
            int triggers = 0;
            for (const auto& sec : r.Sectors)
                for (const auto& e : walk(L.FloorData, sec.FDIndex)) triggers += e.code == 4;
            EXPECT_EQ(triggers, 3);
        }
        expectDoorsAndPortalsAgree(L);
        const auto bytes = buildLevel(L);
        auto read = LoadLevelFromBytes(bytes, std::string("large") + levelExtension(v));
        if (!read && read.error().find("not supported yet") != std::string::npos) continue;
        ASSERT_TRUE(read) << read.error();
        EXPECT_EQ(test::firstDifference(L, *read, v), "");
    }
}

}  // namespace
}  // namespace tessarin::levelgen
