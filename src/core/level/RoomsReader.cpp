#include "level/RoomsReader.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace tessarin::level::detail {

namespace {

std::atomic<bool> g_parallel{true};

// Below this many bytes left in the file a second thread costs more than it saves (measured: a
// 3 MB level read no faster on two, and held more pages while it was read).
constexpr std::size_t kParallelFrom = std::size_t{16} << 20;
// Giving pages back while two threads run makes the system flush the other's address cache each
// time (costly in a virtual machine): it is done in large steps, behind the rooms read so far.
constexpr std::size_t kGiveBackStep = std::size_t{2} << 20;
std::atomic<std::size_t> g_parallelFrom{kParallelFrom};
std::atomic<std::size_t> g_giveBackStep{kGiveBackStep};
// How far measuring runs ahead of the rooms handed out: far enough that the helper seldom waits,
// near enough that the pages it maps (a mapped file's) are not all held at once.
constexpr std::size_t kMeasureAheadBytes = std::size_t{256} << 10;
constexpr std::size_t kMeasureAheadRooms = 8;

// The rooms handed out to the two readers. This thread measures (reads a room's counts and passes
// over its lists) and publishes where each room starts and ends; both take the next room to read.
struct RoomWalk {
    RoomWalk(const util::ByteReader& r, std::size_t count)
        : measuring(r.detached(r.pos())), starts(count + 1, r.pos()), read(count), givenBack(r.pos()),
          giveBackStep(g_giveBackStep.load()) {
        measuring.setMeasuring(true);
    }

    util::ByteReader measuring;            // this thread's only
    std::vector<std::size_t> starts;       // starts[i + 1] is room i's end, set before `known` passes i
    std::atomic<std::size_t> known{0};     // rooms measured
    std::atomic<bool> stopped{false};      // a room did not measure: none after it will
    std::atomic<std::size_t> next{0};      // the next room to take
    std::atomic<bool> failed{false};       // a room did not read as measured: take no more
    std::vector<std::atomic<unsigned char>> read;  // read, ending where it was measured to end
    std::atomic_flag givingBack;           // held by the reader giving pages back
    std::size_t readBefore = 0;            // with givingBack: every room before it is read
    std::size_t givenBack;                 // with givingBack: the bytes before it went back
    const std::size_t giveBackStep;
};

// Measures the next room; false once there is none to measure.
bool measureOne(RoomWalk& w, const RoomReader& measure) {
    const std::size_t i = w.known.load(std::memory_order_relaxed);
    if (i >= w.read.size() || w.stopped.load(std::memory_order_relaxed)) return false;
    try {
        TRRoom scratch;
        measure(w.measuring, scratch, i);
        w.starts[i + 1] = w.measuring.pos();
        w.known.store(i + 1, std::memory_order_release);
        return true;
    } catch (...) {
        // The room is read again in order and reports itself there.
        w.stopped.store(true, std::memory_order_release);
        return false;
    }
}

// Marks room i read and, in steps, gives back the pages behind the rooms all read (so none is
// read again from given-back pages).
void finished(const util::ByteReader& r, RoomWalk& w, std::size_t i) {
    w.read[i].store(1, std::memory_order_release);
    if (w.givingBack.test_and_set(std::memory_order_acquire)) return;  // the other reader is at it
    while (w.readBefore < w.read.size() && w.read[w.readBefore].load(std::memory_order_acquire)) ++w.readBefore;
    std::size_t from = 0, to = 0;
    if (w.starts[w.readBefore] - w.givenBack >= w.giveBackStep) {
        from = std::exchange(w.givenBack, w.starts[w.readBefore]);
        to = w.givenBack;
    }
    w.givingBack.clear(std::memory_order_release);
    if (to > from) r.reportConsumed(from, to);
}

// Takes room i and reads it, once it is measured; false when there is nothing more to read. The
// measuring thread passes `measure`: it measures rather than waits (the other may have taken the
// rooms it was ahead by while it was not running).
bool readNext(const util::ByteReader& r, RoomWalk& w, std::vector<TRRoom>& rooms, const RoomReader& read,
              const RoomReader* measure) {
    if (w.failed.load(std::memory_order_relaxed)) return false;
    const std::size_t i = w.next.fetch_add(1, std::memory_order_relaxed);
    if (i >= rooms.size()) return false;
    while (w.known.load(std::memory_order_acquire) <= i) {
        if (w.stopped.load(std::memory_order_acquire)) return false;
        if (measure) {
            measureOne(w, *measure);
        } else {
            std::this_thread::yield();
        }
    }
    try {
        util::ByteReader own = r.detached(w.starts[i]);
        read(own, rooms[i], i);
        if (own.pos() != w.starts[i + 1]) throw std::range_error("the room ends elsewhere");
    } catch (...) {
        w.failed.store(true, std::memory_order_relaxed);
        return false;
    }
    finished(r, w, i);
    return true;
}

// This thread: measures ahead of the rooms taken, reading one itself whenever far enough ahead.
void measureAndRead(const util::ByteReader& r, RoomWalk& w, std::vector<TRRoom>& rooms, const RoomReader& read,
                    const RoomReader& measure) {
    for (;;) {
        const std::size_t known = w.known.load(std::memory_order_relaxed);
        const std::size_t taken = std::min(w.next.load(std::memory_order_relaxed), known);
        const bool ahead = known >= taken + kMeasureAheadRooms && w.starts[known] - w.starts[taken] >= kMeasureAheadBytes;
        if (!ahead && !w.failed.load(std::memory_order_relaxed) && measureOne(w, measure)) continue;
        if (!readNext(r, w, rooms, read, &measure) && (w.failed.load(std::memory_order_relaxed) || !measureOne(w, measure)))
            return;
    }
}

}  // namespace

void setParallelReading(bool on) { g_parallel.store(on); }
bool parallelReading() { return g_parallel.load(); }

void setParallelRoomLimits(std::size_t fromBytes, std::size_t giveBackStep) {
    g_parallelFrom.store(fromBytes);
    g_giveBackStep.store(giveBackStep);
}
void resetParallelRoomLimits() { setParallelRoomLimits(kParallelFrom, kGiveBackStep); }

void readRooms(util::ByteReader& r, std::vector<TRRoom>& rooms, std::size_t count, const RoomReader& read,
               const RoomReader& measure, std::size_t weight) {
    rooms.clear();
    rooms.resize(count);
    std::optional<RoomWalk> w;
    if (g_parallel.load() && count > 1 && r.remaining() >= g_parallelFrom.load() / std::max<std::size_t>(weight, 1) && !r.tracing() && !r.following()) {
        w.emplace(r, count);
        std::thread helper;
        try {
            helper = std::thread([&] {
                while (readNext(r, *w, rooms, read, nullptr)) {
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: everything is read below, in order.
        }
        if (helper.joinable()) {
            measureAndRead(r, *w, rooms, read, measure);
            helper.join();
        } else {
            w.reset();
        }
    }
    // In order, keeping the rooms read above while the place reached agrees with the measure: the
    // errors and their places are those of a reading that never left this thread, and no room is
    // read again from pages given back.
    bool inStep = w.has_value();
    for (std::size_t i = 0; i < count; ++i) {
        if (inStep && w->read[i].load(std::memory_order_relaxed)) {
            r.seek(w->starts[i + 1]);
            continue;
        }
        if (w) rooms[i] = TRRoom{};  // what a failed reading on the other thread left
        read(r, rooms[i], i);
        inStep = inStep && i < w->known.load(std::memory_order_relaxed) && r.pos() == w->starts[i + 1];
    }
}

}  // namespace tessarin::level::detail
