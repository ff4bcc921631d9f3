#pragma once
// FloorDataQueries: the per-sector queries of FloorData.h for every sector of a map or a level,
// with work that grows with the sectors plus the words, however the sectors' lists overlap.
//
// A damaged list without its closing bit may run on for millions of words, and every sector may
// name a place along it; walking it afresh from each sector multiplies the two. What a walk yields
// depends only on where it stands, so each entry's answer is worked out once and every later walk
// that reaches the entry takes it. The answers are those of the single queries, bit for bit.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "floordata/FloorDataWalk.h"

namespace tessarin::floordata {

class FloorDataQueries {
public:
    // The words must stay as they are while the object answers.
    explicit FloorDataQueries(std::span<const std::uint16_t> floorData) : m_fd(floorData) {}

    int GetDoor(std::uint16_t fdIndex);
    std::int32_t GetSectorFlags(std::uint16_t fdIndex);
    std::int32_t GetTriggerKey(std::uint16_t fdIndex);
    void StripTR3FloorData(std::uint16_t& fdIndex);

private:
    // What the walk from one place yields.
    struct Answer {
        std::int32_t flags = 0;
        std::int32_t triggerKey = -1;
        std::int32_t door = -1;
        bool tr2Unfit = false;  // a code TR2 lacks, or no closing entry
        bool operator==(const Answer&) const = default;
    };
    const Answer& from(std::size_t start);
    void answerStretch(std::size_t first);

    std::span<const std::uint16_t> m_fd;
    std::vector<std::uint32_t> m_answerAt;  // per word: its answer in m_answers; made on first use
    std::vector<Answer> m_answers;
    std::vector<std::size_t> m_stretches;   // where the stretches of the walk under way begin
    std::vector<detail::Entry> m_walked;    // the entries of the stretch under way
};

}  // namespace tessarin::floordata
