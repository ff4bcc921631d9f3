#include "SampleLevels.h"

#include <algorithm>
#include <array>
#include <memory>
#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "LevelBuilder.h"
#include "LevelComposer.h"
#include "MeshShapes.h"

namespace tessarin::levelgen {

using namespace tessarin::level;

namespace {

// Statements of the text description, one per line; names refer back to earlier statements.
class SampleParser {
public:
    TRLevel run(const std::string& text) {
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            ++m_line;
            if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
            std::istringstream words(line);
            std::vector<std::string> w;
            for (std::string t; words >> t;) w.push_back(t);
            if (w.empty()) continue;
            try {
                statement(w);
            } catch (const BuildError& e) {
                throw BuildError("line " + std::to_string(m_line) + ": " + e.what());
            }
        }
        if (!m_composer) throw BuildError("the description names no version");
        return m_composer->finish();
    }

private:
    int number(const std::string& s) {
        try {
            std::size_t used = 0;
            const int v = std::stoi(s, &used, 0);
            if (used == s.size()) return v;
        } catch (const std::exception&) {
        }
        throw BuildError("'" + s + "' is not a number");
    }
    int named(const std::map<std::string, int>& names, const std::string& s, const char* what) {
        auto it = names.find(s);
        if (it == names.end()) throw BuildError(std::string("no ") + what + " named '" + s + "'");
        return it->second;
    }
    void need(const std::vector<std::string>& w, std::size_t atLeast) {
        if (w.size() < atLeast) throw BuildError("'" + w[0] + "' needs " + std::to_string(atLeast - 1) + " values");
    }
    LevelComposer& composer() {
        if (!m_composer) throw BuildError("'version' must come first");
        return *m_composer;
    }
    int room(const std::string& s) { return named(m_rooms, s, "room"); }

    void statement(const std::vector<std::string>& w) {
        const std::string& op = w[0];
        if (op == "version") {
            need(w, 2);
            m_version = static_cast<std::int16_t>(number(w[1]));
            if (m_version < 1 || m_version > 5) throw BuildError("version is 1 to 5");
        } else if (op == "seed") {
            need(w, 2);
            m_seed = static_cast<std::uint32_t>(number(w[1]));
        } else if (op == "room") {
            need(w, 11);
            if (!m_composer) m_composer = std::make_unique<LevelComposer>(m_version, m_seed);
            RoomSpec s{number(w[2]), number(w[3]), number(w[4]), number(w[5]), number(w[6]), number(w[7]),
                       materialByName(w[8]), materialByName(w[9]), materialByName(w[10])};
            m_rooms[w[1]] = composer().addRoom(s);
        } else if (op == "door") {
            need(w, 3);
            composer().connect(room(w[1]), room(w[2]));
        } else if (op == "stack") {
            need(w, 7);
            composer().stack(room(w[1]), room(w[2]), number(w[3]), number(w[4]), number(w[5]), number(w[6]));
        } else if (op == "slope") {
            need(w, 6);
            composer().slope(room(w[1]), number(w[2]), number(w[3]), number(w[4]), number(w[5]));
        } else if (op == "monkey") {
            need(w, 6);
            for (int x = number(w[2]); x <= number(w[4]); ++x)
                for (int z = number(w[3]); z <= number(w[5]); ++z) composer().monkey(room(w[1]), x, z);
        } else if (op == "minecart") {
            need(w, 5);
            if (w[4] == "left") composer().code20(room(w[1]), number(w[2]), number(w[3]));
            else if (w[4] == "right") composer().code21(room(w[1]), number(w[2]), number(w[3]));
            else throw BuildError("minecart turns 'left' or 'right'");
        } else if (op == "mesh") {
            need(w, 3);
            auto& L = composer().level();
            if (w[2] == "box") {
                need(w, 7);
                m_meshes[w[1]] = addBoxMesh(L, m_version, number(w[3]), number(w[4]), number(w[5]), materialByName(w[6]));
            } else if (w[2] == "pyramid") {
                need(w, 6);
                m_meshes[w[1]] = addPyramidMesh(L, m_version, number(w[3]), number(w[4]), materialByName(w[5]));
            } else {
                throw BuildError("a mesh is a 'box' or a 'pyramid'");
            }
        } else if (op == "static") {
            need(w, 3);
            composer().defineStatic(number(w[1]), named(m_meshes, w[2], "mesh"));
        } else if (op == "object") {
            need(w, 3);
            composer().defineObject(number(w[1]), named(m_meshes, w[2], "mesh"));
        } else if (op == "place") {
            need(w, 6);
            composer().placeStatic(room(w[1]), number(w[2]), number(w[3]), number(w[4]), number(w[5]));
        } else if (op == "item") {
            need(w, 7);
            const int ocb = w.size() > 7 ? number(w[7]) : 0;
            m_items[w[1]] = composer().addItem(number(w[2]), room(w[3]), number(w[4]), number(w[5]), number(w[6]), ocb);
        } else if (op == "camera") {
            need(w, 6);
            m_cameras[w[1]] = composer().addCamera(room(w[2]), number(w[3]), number(w[4]), number(w[5]));
        } else if (op == "switch") {
            // The lever's own trigger: the switch type, then the lever and the door it opens.
            need(w, 6);
            composer().trigger(room(w[1]), number(w[2]), number(w[3]), kSwitch, 0x3E00,
                               {{kObject, named(m_items, w[4], "item")}, {kObject, named(m_items, w[5], "item")}});
        } else if (op == "pad") {
            // A pad that cuts to a camera (its extra word: shown for 3 seconds, once), then optional items.
            need(w, 5);
            std::vector<TriggerAction> actions{{kCamera, named(m_cameras, w[4], "camera"), 0x0103}};
            for (std::size_t i = 5; i < w.size(); ++i) actions.push_back({kObject, named(m_items, w[i], "item")});
            composer().trigger(room(w[1]), number(w[2]), number(w[3]), kPad, 0x3E00, actions);
        } else if (op == "ai") {
            need(w, 5);
            if (m_version < kVersionTR4) throw BuildError("AI objects are a TR4/TR5 list");
            composer().addAIObject(number(w[1]), room(w[2]), number(w[3]), number(w[4]), w.size() > 5 ? number(w[5]) : 0);
        } else if (op == "demo") {
            std::vector<std::int32_t> words;
            for (std::size_t i = 1; i < w.size(); ++i) words.push_back(static_cast<std::int32_t>(std::stoul(w[i], nullptr, 0)));
            composer().setDemo(words);
        } else {
            throw BuildError("unknown statement '" + op + "'");
        }
    }

    int m_line = 0;
    std::int16_t m_version = 3;
    std::uint32_t m_seed = 1;
    std::unique_ptr<LevelComposer> m_composer;
    std::map<std::string, int> m_rooms, m_meshes, m_items, m_cameras;
};

}  // namespace

TRLevel composeSampleLevel(const std::string& text) { return SampleParser().run(text); }

TRLevel composeLargeLevel(const LargeLevelParams& p) {
    // Box numbers share a word with the material in TR3, which leaves twelve bits for them.
    if (p.rooms < 1 || p.rooms > 4096) throw BuildError("a large level has 1 to 4096 rooms");
    if (p.sectorsPerSide < 4 || p.sectorsPerSide > 31) throw BuildError("rooms are 4 to 31 sectors per side");
    if (p.items < 1) throw BuildError("a large level needs at least one item (Lara)");
    LevelComposer c(p.version, p.seed);
    std::uint32_t state = p.seed * 2654435761u + 1;
    auto next = [&](int below) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(below));
    };
    // Rooms on a grid; neighbours overlap by their wall rings so they can share a doorway.
    const int cols = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(p.rooms))));
    const int stride = p.sectorsPerSide - 2, n = p.sectorsPerSide;
    const std::array<Material, 3> walls{Material::StoneWall, Material::WoodWall, Material::MetalWall};
    const std::array<Material, 3> floors{Material::StoneFloor, Material::WoodFloor, Material::MetalGrate};
    for (int i = 0; i < p.rooms; ++i) {
        RoomSpec s{(i % cols) * stride, (i / cols) * stride, n, n, 0, -2048 - kClick * next(8),
                   walls[static_cast<std::size_t>(next(3))], floors[static_cast<std::size_t>(next(3))], Material::Ceiling};
        c.addRoom(s);
    }
    for (int i = 0; i < p.rooms; ++i) {
        if (i % cols + 1 < cols && i + 1 < p.rooms) c.connect(i, i + 1);
        if (i + cols < p.rooms && (i % cols == 0 || next(2) == 0)) c.connect(i, i + cols);
        c.padFaces(i, p.facesPerRoom);
    }
    // Meshes: a crate for the statics, a pyramid for every item's object.
    auto& L = c.level();
    const int crate = addBoxMesh(L, p.version, 384, 384, 768, Material::Crate);
    const int pyramid = addPyramidMesh(L, p.version, 192, 384, Material::Pickup);
    c.defineStatic(0, crate);
    // Object IDs: Lara, two medipacks and a door, numbered as each game numbers them.
    static const std::array<std::array<int, 3>, 6> kObjects{{{0, 0, 0}, {93, 94, 57}, {149, 150, 106},
                                                             {176, 177, 131}, {369, 368, 322}, {350, 349, 284}}};
    const auto& ids = kObjects[static_cast<std::size_t>(p.version)];
    c.defineObject(0, pyramid);
    for (int id : ids) c.defineObject(id, pyramid);

    std::vector<std::array<int, 2>> inside;
    for (int x = 1; x <= n - 2; ++x)
        for (int z = 1; z <= n - 2; ++z) inside.push_back({x, z});
    c.addItem(0, 0, 1, 1, 90);  // Lara
    for (int k = 1; k < p.items; ++k) {
        const auto& at = inside[static_cast<std::size_t>(next(static_cast<int>(inside.size())))];
        c.addItem(ids[static_cast<std::size_t>(next(3))], next(p.rooms), at[0], at[1], 90 * next(4));
    }
    const int triggers = std::min(p.triggersPerRoom, static_cast<int>(inside.size()));
    const int targets = std::min(p.items, 512);  // an action names its item in nine bits
    for (int r = 0; r < p.rooms; ++r) {
        const int camera = c.addCamera(r, n / 2, n / 2, 1024);
        c.placeStatic(r, 1 + next(n - 2), 1 + next(n - 2), 0, 90 * next(4));
        // The first `triggers` sectors of a shuffled list of the room's inside.
        auto order = inside;
        for (int t = 0; t < triggers; ++t) {
            std::swap(order[static_cast<std::size_t>(t)], order[static_cast<std::size_t>(t + next(static_cast<int>(order.size()) - t))]);
            std::vector<TriggerAction> actions;
            const int count = 1 + next(3);
            for (int a = 0; a < count; ++a) {
                if (next(5) == 0) actions.push_back({kCamera, camera, 0x0102});
                else actions.push_back({kObject, next(targets)});
            }
            static const std::array<int, 5> kTypes{kTrigger, kPad, kSwitch, kPickup, 9};
            const int type = kTypes[static_cast<std::size_t>(next(5))];
            // The game takes a switch's or pickup's first action as the lever or the item picked up:
            // an object, never a camera with an extra word.
            if (type == kSwitch || type == kPickup) actions.insert(actions.begin(), {kObject, (r + t) % targets});
            c.trigger(r, order[static_cast<std::size_t>(t)][0], order[static_cast<std::size_t>(t)][1], type,
                      static_cast<std::uint16_t>(0x3E00 | next(10)), actions);
        }
    }
    c.setDemo({0x00000000, 0x00000001, 0x00000201});
    return c.finish();
}

}  // namespace tessarin::levelgen
