#include "level/CompressedChunks.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <exception>
#include <functional>

#include "level/RoomsReader.h"
#include "util/Inflate.h"
#include "util/SecondThread.h"

namespace tessarin::level::detail {

namespace {

constexpr std::uint64_t kPageBytes32 = 262144;  // one 256 x 256 page of 32-bit texels
constexpr std::uint64_t kRowBytes32 = 1024;     // one row of such a page

// Inflates a chunk into a texel array. When the chunk fills the array exactly (the usual case) on a
// little-endian machine it inflates in place; otherwise through a buffer, keeping what fits.
template <typename Texels>
void inflateInto(const CompressedChunk& c, Texels& dest) {
    using T = typename Texels::value_type;
    if constexpr (std::endian::native == std::endian::little) {
        if (c.inflatedSize == dest.size() * sizeof(T)) {
            util::inflateChunk(c.data, {reinterpret_cast<std::uint8_t*>(dest.data()), c.inflatedSize}, c.name);
            return;
        }
    }
    const auto bytes = util::inflateChunk(c.data, c.inflatedSize, c.name);
    const std::size_t n = std::min(dest.size(), bytes.size() / sizeof(T));
    for (std::size_t i = 0; i < n; ++i) {
        T v = 0;
        for (std::size_t b = 0; b < sizeof(T); ++b) v |= static_cast<T>(T{bytes[i * sizeof(T) + b]} << (8 * b));
        dest[i] = v;
    }
}

struct Job {
    std::uint64_t weight = 0;
    std::function<void()> run;
    std::exception_ptr error;
};

void runJob(Job& job) {
    try {
        job.run();
    } catch (...) {
        job.error = std::current_exception();
    }
}

// Runs the jobs, on two threads when allowed: each takes the heaviest job left (which keeps the
// longer of the two near the least it can be); on one thread, in order. The first failure in job
// order is rethrown, so that the report does not depend on timing.
void runJobs(std::vector<Job>& jobs) {
    std::vector<std::size_t> order(jobs.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::atomic<std::size_t> next{0};
    const auto takeJobs = [&] {
        for (std::size_t k; (k = next.fetch_add(1)) < order.size();) runJob(jobs[order[k]]);
    };
    const bool split = parallelReading() && jobs.size() > 1;
    if (split)
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return jobs[a].weight > jobs[b].weight; });
    // Sorted before the other thread starts, which reads the order too.
    util::SecondThread worker(split ? std::function<void()>(takeJobs) : std::function<void()>());
    if (!worker.started()) std::sort(order.begin(), order.end());  // everything runs here, in order
    takeJobs();
    worker.join();
    for (auto& job : jobs)
        if (job.error) std::rethrow_exception(job.error);
}

}  // namespace

std::uint64_t roundedQuotient(std::uint64_t n, std::uint64_t d) {
    const std::uint64_t q = n / d;
    const std::uint64_t rem2 = (n % d) * 2;
    if (rem2 > d || (rem2 == d && (q % 2) == 1)) return q + 1;
    return q;
}

CompressedChunk readChunk(util::ByteReader& r, std::string name) {
    CompressedChunk c;
    c.name = std::move(name);
    c.inflatedSize = r.u32(c.name.c_str());
    const std::uint32_t compressedSize = r.u32(c.name.c_str());
    c.offset = r.pos();
    c.data = r.view(compressedSize, c.name.c_str());
    util::checkInflatedSize(c.inflatedSize, c.data, c.name);
    return c;
}

void checkUnpackedTotal(std::span<const CompressedChunk> chunks, std::size_t fileSize) {
    // Sizes are at most 4 GiB each, so the sum of a handful cannot overflow.
    std::uint64_t total = 0;
    for (const auto& c : chunks) total += c.inflatedSize;
    // The 16-bit pages are allocated for as many pages as the 32-bit chunk holds, at half its size.
    if (!chunks.empty()) total += chunks[0].inflatedSize / 2;
    const std::uint64_t ceiling = kUnpackedPerFileByte * fileSize + kUnpackedSlack;
    if (total > ceiling)
        throw util::Error("chunks: " + std::to_string(total) + " bytes to unpack from a file of " +
                          std::to_string(fileSize) + " bytes, past the ceiling of " + std::to_string(ceiling) +
                          " (16 per file byte and 32 MiB)");
}

std::array<CompressedChunk, 3> readTextureChunks(util::ByteReader& r, TRLevel& level, const LoadOptions& options) {
    std::array<CompressedChunk, 3> chunks{readChunk(r, "chunk 1 (32-bit textures)"),
                                          readChunk(r, "chunk 2 (16-bit textures)"),
                                          readChunk(r, "chunk 3 (misc textures)")};
    checkUnpackedTotal(chunks, r.size());
    // Sizes are bounded by readChunk, so these casts and products cannot overflow.
    level.NumTextiles = static_cast<std::int32_t>(roundedQuotient(chunks[0].inflatedSize, kPageBytes32));
    level.NumMiscTextiles = static_cast<std::int32_t>(roundedQuotient(chunks[2].inflatedSize, kPageBytes32));
    const std::size_t pageTexels = static_cast<std::size_t>(level.NumTextiles) * kTextilePixels;
    if (options.only16BitPages) {
        // Left packed, but a file whose unused chunks are plainly not zlib streams is still refused.
        util::checkStreamHeader(chunks[0].data, chunks[0].inflatedSize, chunks[0].name);
        util::checkStreamHeader(chunks[2].data, chunks[2].inflatedSize, chunks[2].name);
        level.Textile32.clear();
        level.MiscTextile.clear();
    } else {
        level.Textile32.assign(pageTexels, 0);
        level.MiscTextile.assign(roundedQuotient(chunks[2].inflatedSize, kRowBytes32) * 256, 0);
    }
    // The 16-bit pages follow the 32-bit page count; their own stated size does not size them.
    level.Textile16.reserve(pageTexels + options.spare16BitPages * kTextilePixels);
    level.Textile16.assign(pageTexels, 0);
    return chunks;
}

void inflateChunks(const util::ByteReader& source, const std::array<CompressedChunk, 3>& textures, TRLevel& level,
                   const LoadOptions& options, const ExtraChunk& extra, std::vector<SideJob> side) {
    std::vector<Job> jobs;
    const auto add = [&](const CompressedChunk& c, std::function<void()> inflate) {
        jobs.push_back({c.inflatedSize, [inflate = std::move(inflate), &c, &source] {
                            inflate();
                            source.reportConsumed(c.offset, c.offset + c.data.size());
                        }, nullptr});
    };
    if (!options.only16BitPages) add(textures[0], [&] { inflateInto(textures[0], level.Textile32); });
    add(textures[1], [&] { inflateInto(textures[1], level.Textile16); });
    if (!options.only16BitPages) add(textures[2], [&] { inflateInto(textures[2], level.MiscTextile); });
    if (const CompressedChunk* c = extra.chunk) {
        // Followed, it is read while it inflates: its packed bytes go back as they are used.
        std::function<void(std::size_t)> inputRead;
        if (extra.arrival)
            inputRead = [c, &source](std::size_t used) { source.reportConsumed(c->offset, c->offset + used); };
        add(*c, [c, extra, inputRead] { util::inflateChunk(c->data, extra.out, c->name, extra.arrival, inputRead); });
    }
    for (auto& job : side) jobs.push_back({job.weight, std::move(job.run), nullptr});
    runJobs(jobs);
}

}  // namespace tessarin::level::detail
