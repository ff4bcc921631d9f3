// The minecart edit: a new list (code-20/21 words in front of a copy of the old one) is appended to
// FloorData and the sector pointed at it; nothing already in FloorData moves.
#include "floordata/FloorDataEdit.h"

#include <string>

#include "floordata/FloorDataWalk.h"

namespace tessarin::floordata {

using namespace detail;

namespace {

// Sector indices are read back as signed 16-bit values, so a list must start at or below this.
constexpr std::size_t kLastUsableIndex = 32767;

constexpr std::uint16_t kCode20Word = 0x0014;
constexpr std::uint16_t kCode21Word = 0x0015;

}  // namespace

std::vector<std::uint16_t> CopySectorFloorData(const level::TRLevel& level, const level::TRSector& sector) {
    const std::span<const std::uint16_t> fd(level.FloorData);
    const std::size_t start = listStart(fd, sector.FDIndex);
    std::size_t end = start;
    std::size_t lastEntry = start;
    const WalkEnd how = walkList(fd, start, [&](const Entry& e) {
        lastEntry = e.Pos;
        end = e.Pos + e.Length;
        return true;
    });
    std::vector<std::uint16_t> words(fd.begin() + static_cast<std::ptrdiff_t>(start),
                                     fd.begin() + static_cast<std::ptrdiff_t>(end));
    // A list cut short by an unknown code or the end of the array is closed after its last whole
    // entry, so the copy can never run on into whatever follows it once appended.
    if (how != WalkEnd::LastEntry && !words.empty()) words[lastEntry - start] |= kLastBit;
    return words;
}

util::Result<std::uint16_t> AppendFloorData(level::TRLevel& level, const std::vector<std::uint16_t>& words) {
    std::vector<std::uint16_t>& fd = level.FloorData;
    // Word 0 is never a list (index 0 means "none"), so an empty array gets a filler word first.
    const std::size_t at = fd.empty() ? 1 : fd.size();
    if (at > kLastUsableIndex) {
        return util::Result<std::uint16_t>::failure(
            "the floor data already holds " + std::to_string(fd.size()) +
            " words; a sector can only point at a list starting at word 32767 or below");
    }
    fd.reserve(at + words.size());
    if (fd.empty()) fd.push_back(0);
    fd.insert(fd.end(), words.begin(), words.end());
    return static_cast<std::uint16_t>(at);
}

util::Status AddMinecartEntry(level::TRLevel& level, int room, int x, int z, MinecartMode mode) {
    using util::Status;
    if (mode != MinecartMode::Stop && mode != MinecartMode::Left && mode != MinecartMode::Right) {
        return Status::failure("unknown minecart mode " + std::to_string(static_cast<int>(mode)));
    }
    if (room < 0 || static_cast<std::size_t>(room) >= level.Rooms.size()) {
        return Status::failure("room " + std::to_string(room) + " does not exist (the level has " +
                               std::to_string(level.Rooms.size()) + " rooms)");
    }
    level::TRRoom& r = level.Rooms[static_cast<std::size_t>(room)];
    if (r.NumXSectors <= 0 || r.NumZSectors <= 0 ||
        r.Sectors.size() < static_cast<std::size_t>(r.NumXSectors) * static_cast<std::size_t>(r.NumZSectors)) {
        return Status::failure("room " + std::to_string(room) + " has no sector grid");
    }
    if (!r.hasSector(x, z)) {
        return Status::failure("sector (" + std::to_string(x) + ", " + std::to_string(z) + ") lies outside room " +
                               std::to_string(room) + " (" + std::to_string(r.NumXSectors) + " x " +
                               std::to_string(r.NumZSectors) + " sectors)");
    }

    std::vector<std::uint16_t> list;
    if (mode != MinecartMode::Right) list.push_back(kCode20Word);
    if (mode != MinecartMode::Left) list.push_back(kCode21Word);
    const std::vector<std::uint16_t> old = CopySectorFloorData(level, r.sector(x, z));
    if (old.empty()) {
        // No list to close the new one (or nothing of it could be kept): the new words close it.
        list.back() |= kLastBit;
    } else {
        list.insert(list.end(), old.begin(), old.end());
    }

    auto at = AppendFloorData(level, list);
    if (!at) return Status::failure(at.error());
    r.sector(x, z).FDIndex = *at;
    return util::success();
}

}  // namespace tessarin::floordata
