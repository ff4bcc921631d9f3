#include "level/RoomsReader.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "util/SecondThread.h"

namespace tessarin::level::detail {

namespace {

std::atomic<bool> g_parallel{true};

// Below this many bytes left in the file a second thread does not pay: a 7 MB level read no faster
// on two, 9 and 12 MB ones 20-25 % faster (measured); and the pages the two hold while reading (see
// kGiveBackStep) would take the peak memory of a smaller level past 1.3 times the level's own.
constexpr std::size_t kParallelFrom = std::size_t{8} << 20;
// Giving pages back while two threads run makes the system flush the other's address cache each
// time (costly in a virtual machine): it is done in large steps, behind the rooms read so far.
constexpr std::size_t kGiveBackStep = std::size_t{2} << 20;
std::atomic<std::size_t> g_parallelFrom{kParallelFrom};
std::atomic<std::size_t> g_giveBackStep{kGiveBackStep};
// How far measuring runs ahead of the rooms handed out: far enough that the helper seldom waits,
// near enough that the pages it maps (a mapped file's) are not all held at once.
constexpr std::size_t kMeasureAheadBytes = std::size_t{256} << 10;
constexpr std::size_t kMeasureAheadRooms = 8;

// Rooms are taken in batches of about this many bytes: taken one at a time, the two threads passed
// the counters back and forth between their caches for every room, which cost as much as reading
// a small room (measured).
constexpr std::size_t kBatchBytes = std::size_t{64} << 10;
constexpr std::size_t kMaxBatch = 64;

// The rooms handed out to the two readers. This thread measures (reads a room's counts and passes
// over its lists) and publishes where each room starts and ends; both take the next batch to read.
// What one thread writes often lies apart from what the other does.
struct RoomWalk {
    RoomWalk(const util::ByteReader& r, std::size_t count)
        : measuring(r.detached(r.pos())), starts(count + 1, r.pos()),
          batch(std::clamp<std::size_t>(kBatchBytes / std::max<std::size_t>(r.remaining() / count, 1), 1, kMaxBatch)),
          read(count), givenBack(r.pos()), giveBackStep(g_giveBackStep.load()) {
        measuring.setMeasuring(true);
    }

    util::ByteReader measuring;            // this thread's only
    std::vector<std::size_t> starts;       // starts[i + 1] is room i's end, set before `known` passes i
    const std::size_t batch;               // rooms taken at once
    alignas(64) std::atomic<std::size_t> known{0};  // rooms measured
    std::atomic<bool> stopped{false};      // a room did not measure: none after it will
    alignas(64) std::atomic<std::size_t> next{0};   // the first room of the next batch to take
    std::atomic<bool> failed{false};       // a room did not read as measured: take no more
    alignas(64) std::vector<std::atomic<unsigned char>> read;  // read, ending where it was measured to end
    std::atomic_flag givingBack;           // held by the reader giving pages back
    std::atomic<std::size_t> readBefore{0};  // every room before it is read (moved on with givingBack)
    std::size_t givenBack;                 // with givingBack: the bytes before it went back
    const std::size_t giveBackStep;
    // How far past the oldest room still being read a reader may take rooms: half a step. A reader
    // held up (its processor given to another thread) let the other read on for megabytes, whose
    // pages all stayed mapped until it was done (peaks of 1.7x a 10 MB level's own size).
    const std::size_t maxSpread = giveBackStep / 2;
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

// Gives back, in steps, the pages behind the rooms all read (so none is read again from
// given-back pages).
void giveBack(const util::ByteReader& r, RoomWalk& w) {
    if (w.givingBack.test_and_set(std::memory_order_acquire)) return;  // the other reader is at it
    std::size_t before = w.readBefore.load(std::memory_order_relaxed);
    while (before < w.read.size() && w.read[before].load(std::memory_order_acquire)) ++before;
    w.readBefore.store(before, std::memory_order_release);
    std::size_t from = 0, to = 0;
    if (w.starts[before] - w.givenBack >= w.giveBackStep) {
        from = std::exchange(w.givenBack, w.starts[before]);
        to = w.givenBack;
    }
    w.givingBack.clear(std::memory_order_release);
    if (to > from) r.reportConsumed(from, to);
}

// Takes the next batch of rooms and reads each once it is measured; false when there is nothing
// more to read. The measuring thread passes `measure`: it measures rather than waits (the other
// may have taken the rooms it was ahead by while it was not running).
bool readBatch(const util::ByteReader& r, RoomWalk& w, std::vector<TRRoom>& rooms, const RoomReader& read,
               const RoomReader* measure) {
    for (;;) {
        if (w.failed.load(std::memory_order_relaxed) || w.stopped.load(std::memory_order_acquire) ||
            w.next.load(std::memory_order_relaxed) >= rooms.size())
            return false;
        const std::size_t known = w.known.load(std::memory_order_acquire);
        const std::size_t taking = std::min(w.next.load(std::memory_order_relaxed), known);
        const std::size_t oldest = std::min(w.readBefore.load(std::memory_order_acquire), taking);
        if (w.starts[taking] - w.starts[oldest] <= w.maxSpread) break;
        // Until the other reader has caught up; it may be waiting for its room to be measured.
        giveBack(r, w);
        if (!measure || known > oldest || !measureOne(w, *measure)) std::this_thread::yield();
    }
    const std::size_t first = w.next.fetch_add(w.batch, std::memory_order_relaxed);
    if (first >= rooms.size()) return false;
    const std::size_t end = std::min(first + w.batch, rooms.size());
    for (std::size_t i = first; i < end; ++i) {
        while (w.known.load(std::memory_order_acquire) <= i) {
            // After a failed room the measuring thread measures no more: waiting on would never end.
            if (w.stopped.load(std::memory_order_acquire) || w.failed.load(std::memory_order_relaxed)) return false;
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
        w.read[i].store(1, std::memory_order_release);
    }
    giveBack(r, w);
    return true;
}

// This thread: measures ahead of the rooms taken, reading a batch itself whenever far enough ahead.
void measureAndRead(const util::ByteReader& r, RoomWalk& w, std::vector<TRRoom>& rooms, const RoomReader& read,
                    const RoomReader& measure) {
    for (;;) {
        const std::size_t known = w.known.load(std::memory_order_relaxed);
        const std::size_t taken = std::min(w.next.load(std::memory_order_relaxed), known);
        const bool ahead = known >= taken + kMeasureAheadRooms && w.starts[known] - w.starts[taken] >= kMeasureAheadBytes;
        if (!ahead && !w.failed.load(std::memory_order_relaxed) && measureOne(w, measure)) continue;
        if (!readBatch(r, w, rooms, read, &measure) && (w.failed.load(std::memory_order_relaxed) || !measureOne(w, measure)))
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
               const RoomReader& measure) {
    rooms.clear();
    rooms.resize(count);
    std::optional<RoomWalk> w;
    if (g_parallel.load() && count > 1 && r.remaining() >= g_parallelFrom.load() && !r.tracing() && !r.following()) {
        w.emplace(r, count);
        util::SecondThread helper([&] {
            while (readBatch(r, *w, rooms, read, nullptr)) {
            }
        });
        if (helper.started()) {
            measureAndRead(r, *w, rooms, read, measure);
            helper.join();
        } else {
            // No second thread to be had: everything is read below, in order.
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
