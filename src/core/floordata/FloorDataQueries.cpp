#include "floordata/FloorDataQueries.h"

#include "floordata/FloorDataWalk.h"

namespace tessarin::floordata {

using namespace detail;

namespace {

constexpr std::uint32_t kNotWalked = 0xFFFFFFFF;
// The first two answers: a walk cut short (an unknown code, the end of the array) and the
// answer after a closing entry.
constexpr std::uint32_t kCutShort = 0;
constexpr std::uint32_t kClosed = 1;
// A long walk is answered in stretches of this many entries, so that the entries held at once stay
// few however far a damaged list runs.
constexpr std::size_t kStretch = 4096;

}  // namespace

const FloorDataQueries::Answer& FloorDataQueries::from(std::size_t start) {
    if (m_answerAt.empty()) {
        m_answerAt.assign(m_fd.size(), kNotWalked);
        m_answers.assign(2, Answer{});
        m_answers[kCutShort].tr2Unfit = true;
    }
    if (m_answerAt[start] != kNotWalked) return m_answers[m_answerAt[start]];

    // Mark where each stretch of new entries begins, then answer the stretches from the last one
    // back: each one's walk ends at the stretch after it, answered by then.
    m_stretches.clear();
    std::size_t entries = 0;
    walkList(m_fd, start, [&](const Entry& e) {
        if (m_answerAt[e.Pos] != kNotWalked) return false;
        if (entries++ % kStretch == 0) m_stretches.push_back(e.Pos);
        return true;
    });
    for (auto it = m_stretches.rbegin(); it != m_stretches.rend(); ++it) answerStretch(*it);
    // No stretch: the start holds no whole entry.
    if (m_stretches.empty()) m_answerAt[start] = kCutShort;
    return m_answers[m_answerAt[start]];
}

void FloorDataQueries::answerStretch(std::size_t first) {
    std::uint32_t rest = kCutShort;
    m_walked.clear();
    const WalkEnd end = walkList(m_fd, first, [&](const Entry& e) {
        if (m_answerAt[e.Pos] != kNotWalked) {
            rest = m_answerAt[e.Pos];
            return false;
        }
        m_walked.push_back(e);
        return true;
    });
    if (end == WalkEnd::LastEntry) rest = kClosed;
    // Each entry's answer, from the last one back, is its own part put before the answer after it.
    for (auto it = m_walked.rbegin(); it != m_walked.rend(); ++it) {
        const Entry& e = *it;
        Answer a = m_answers[rest];
        a.flags |= entryFlags(e);
        if (e.code() == kTrigger) a.triggerKey = triggerKey(m_fd, e);
        if (e.code() == kDoor) a.door = doorRoom(m_fd, e);
        a.tr2Unfit = a.tr2Unfit || e.code() >= kFirstTriangle;
        // Most entries of a long damaged run add nothing: they share the answer after them.
        if (a != m_answers[rest]) {
            rest = static_cast<std::uint32_t>(m_answers.size());
            m_answers.push_back(a);
        }
        m_answerAt[e.Pos] = rest;
    }
}

int FloorDataQueries::GetDoor(std::uint16_t fdIndex) {
    const std::size_t start = doorListStart(m_fd, fdIndex);
    return start == 0 ? -1 : from(start).door;
}

std::int32_t FloorDataQueries::GetSectorFlags(std::uint16_t fdIndex) {
    const std::size_t start = listStart(m_fd, fdIndex);
    return start == 0 ? 0 : from(start).flags;
}

std::int32_t FloorDataQueries::GetTriggerKey(std::uint16_t fdIndex) {
    const std::size_t start = listStart(m_fd, fdIndex);
    return start == 0 ? -1 : from(start).triggerKey;
}

void FloorDataQueries::StripTR3FloorData(std::uint16_t& fdIndex) {
    const std::size_t start = listStart(m_fd, fdIndex);
    if (start != 0 && from(start).tr2Unfit) fdIndex = 0;
}

}  // namespace tessarin::floordata
