#pragma once
// The one walk over a sector's floor-data list, shared by every query and the edit.
//
// The walk never reads outside the span and allocates nothing. An entry that does not fit wholly
// inside the array (a list running off the end) ends the walk exactly as an unknown code does:
// the entry is not visited.
#include <cstddef>
#include <cstdint>
#include <span>

#include "floordata/FloorData.h"

namespace tessarin::floordata::detail {

inline constexpr std::uint16_t kLastBit = 0x8000;
inline constexpr std::uint16_t kCodeMask = 0x001F;

// How a walk came to its end.
enum class WalkEnd {
    NoList,       // the index points at no list
    LastEntry,    // an entry with the last-entry bit was visited
    UnknownCode,  // a code outside 1-21
    EndOfArray,   // the next entry would start or end past the last word
    Stopped,      // the visitor asked to stop
};

// One entry of a list: where it starts, how many words it takes, and its function word.
struct Entry {
    std::size_t Pos = 0;
    std::size_t Length = 0;
    std::uint16_t Word = 0;

    int code() const { return Word & kCodeMask; }
    int subfunction() const { return (Word >> 8) & 0x7F; }
    bool last() const { return (Word & kLastBit) != 0; }
};

// One trigger action word, with its extra word already stepped over.
struct Action {
    std::uint16_t Word = 0;
    int kind() const { return (Word >> 10) & 0x0F; }
    int parameter() const { return Word & 0x01FF; }
};

// Kinds 1 (CAMERA) and 12 (FLYBY) carry one extra word, whose bit 15 ends the action list.
inline bool hasExtraWord(int kind) { return kind == 1 || kind == 12; }

// The start of the list a sector index names, or 0 for none. Sector indices are read as signed
// 16-bit values, so 32768 and above name no list, as do 0 and anything past the array.
inline std::size_t listStart(std::span<const std::uint16_t> fd, std::uint16_t fdIndex) {
    if (fdIndex == 0 || fdIndex >= 0x8000 || fdIndex >= fd.size()) return 0;
    return fdIndex;
}

// The start of the list a door lookup reads: it takes the index as unsigned and wraps it at 8192,
// unlike every other query; 0 for none.
inline std::size_t doorListStart(std::span<const std::uint16_t> fd, std::uint16_t fdIndex) {
    const std::size_t index = fdIndex % 8192u;
    return index < fd.size() ? index : 0;
}

// The most actions one trigger may hold. The games' triggers hold a few dozen; without a limit a
// damaged list with no closing bit would be scanned to the end of the array from every sector that
// names a place in it, which grows with the square of the floor data.
inline constexpr std::size_t kMaxTriggerActions = 1024;

// Words of a trigger entry starting at pos (function word, setup word, actions), or 0 when the
// entry runs past the end of the array or holds more than kMaxTriggerActions actions.
inline std::size_t triggerLength(std::span<const std::uint16_t> fd, std::size_t pos) {
    std::size_t q = pos + 2;  // first action word
    for (std::size_t actions = 0; q < fd.size() && actions < kMaxTriggerActions; ++actions) {
        const Action a{fd[q]};
        bool last = (a.Word & kLastBit) != 0;
        if (hasExtraWord(a.kind())) {
            if (q + 1 >= fd.size()) return 0;
            last = (fd[q + 1] & kLastBit) != 0;
            ++q;
        }
        ++q;
        if (last) return q - pos;
    }
    return 0;
}

// Words of the entry at pos, or 0 for an unknown code (which the caller tells apart by code).
inline std::size_t entryLength(std::span<const std::uint16_t> fd, std::size_t pos) {
    const int code = fd[pos] & kCodeMask;
    switch (code) {
        case 1: case 2: case 3: return 2;
        case 4: return triggerLength(fd, pos);
        case 5: case 6: case 19: case 20: case 21: return 1;
        default: return code >= 7 && code <= 18 ? 2 : 0;
    }
}

inline bool knownCode(int code) { return code >= 1 && code <= 21; }

// Walks the list from start (0: no list), calling visit(const Entry&) for every whole entry;
// visit returns false to stop early.
template <typename Visit>
WalkEnd walkList(std::span<const std::uint16_t> fd, std::size_t start, Visit&& visit) {
    if (start == 0) return WalkEnd::NoList;
    std::size_t p = start;
    for (;;) {
        if (p >= fd.size()) return WalkEnd::EndOfArray;
        const std::uint16_t word = fd[p];
        if (!knownCode(word & kCodeMask)) return WalkEnd::UnknownCode;
        const std::size_t length = entryLength(fd, p);
        if (length == 0 || length > fd.size() - p) return WalkEnd::EndOfArray;
        const Entry e{p, length, word};
        if (!visit(e)) return WalkEnd::Stopped;
        if (e.last()) return WalkEnd::LastEntry;
        p += length;
    }
}

// The flags an entry adds to GetSectorFlags.
inline std::int32_t entryFlags(const Entry& e) {
    switch (e.code()) {
        case kClimb: return e.subfunction();
        case kMonkey: return kFlagMonkey;
        case kMinecartLeft: return kFlagCode20;
        case kMinecartRight: return kFlagCode21;
        default: return 0;
    }
}

// The room a whole door entry leads to.
inline int doorRoom(std::span<const std::uint16_t> fd, const Entry& door) { return fd[door.Pos + 1] & 0xFF; }

// GetTriggerKey of a whole trigger entry: type + 32 * parameter + 16384 * kind of its first action.
inline std::int32_t triggerKey(std::span<const std::uint16_t> fd, const Entry& trigger) {
    const Action first{fd[trigger.Pos + 2]};
    return trigger.subfunction() + 32 * first.parameter() + 16384 * first.kind();
}

// Calls visit(const Action&) for each action of a trigger entry the walk delivered; visit returns
// false to stop early.
template <typename Visit>
void forEachAction(std::span<const std::uint16_t> fd, const Entry& trigger, Visit&& visit) {
    const std::size_t end = trigger.Pos + trigger.Length;
    std::size_t q = trigger.Pos + 2;
    while (q < end) {
        const Action a{fd[q]};
        q += hasExtraWord(a.kind()) ? 2 : 1;
        if (!visit(a)) return;
    }
}

}  // namespace tessarin::floordata::detail
