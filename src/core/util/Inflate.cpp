#include "util/Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "util/Adler32.h"
#include "util/Arrival.h"
#include "util/Result.h"

namespace tessarin::util {

namespace {
// How much a followed chunk inflates between two tellings.
constexpr std::size_t kArrivalStep = std::size_t{256} << 10;
constexpr std::size_t kInputStep = std::size_t{1} << 20;
}  // namespace

void checkInflatedSize(std::uint64_t stated, std::span<const std::uint8_t> compressed, const std::string& chunk) {
    const std::uint64_t compressedSize = compressed.size();
    if (stated > kMaxInflatedSize)
        throw Error(chunk + ": stated size " + std::to_string(stated) + " exceeds the limit of " +
                    std::to_string(kMaxInflatedSize) + " bytes");
    // The 1032 bytes of slack cover the stream's header and trailer on tiny chunks.
    if (stated > compressedSize * kMaxInflateRatio + kMaxInflateRatio)
        throw Error(chunk + ": stated size " + std::to_string(stated) + " is more than " +
                    std::to_string(compressedSize) + " compressed bytes can hold");
    if (stated > kCountFrom && stated > compressedSize * kPlausibleRatio) {
        const std::uint64_t real = countInflatedSize(compressed, stated, chunk);
        if (real < stated)
            throw Error(chunk + ": inflates to " + std::to_string(real) + " bytes, not the stated " + std::to_string(stated));
    }
}

std::uint64_t countInflatedSize(std::span<const std::uint8_t> compressed, std::uint64_t limit, const std::string& chunk) {
    if (compressed.size() > UINT32_MAX) throw Error(chunk + ": too large to inflate");
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) throw Error(chunk + ": not enough memory to inflate");
    std::vector<std::uint8_t> window(std::size_t{1} << 16);
    zs.next_in = const_cast<Bytef*>(compressed.data());
    zs.avail_in = static_cast<uInt>(compressed.size());
    std::uint64_t produced = 0;
    int rc = Z_OK;
    while (rc == Z_OK && produced <= limit) {
        zs.next_out = window.data();
        zs.avail_out = static_cast<uInt>(window.size());
        rc = inflate(&zs, Z_NO_FLUSH);
        produced += window.size() - zs.avail_out;
        // No progress with input left over cannot happen; with none left the stream is cut short.
        if (rc == Z_BUF_ERROR) break;
    }
    const std::string message = zs.msg ? zs.msg : zError(rc);
    inflateEnd(&zs);
    if (rc == Z_STREAM_END || rc == Z_BUF_ERROR || rc == Z_OK) return produced;
    if (rc == Z_MEM_ERROR) throw Error(chunk + ": not enough memory to inflate");
    throw Error(chunk + ": damaged compressed data (" + message + ")");
}

void checkStreamHeader(std::span<const std::uint8_t> compressed, std::uint64_t stated, const std::string& chunk) {
    if (compressed.empty() && stated == 0) return;
    if (compressed.size() < 2) throw Error(chunk + ": compressed data ends before its stream does");
    // The two bytes RFC 1950 puts in front of every stream; the reasons are zlib's own words.
    const unsigned method = compressed[0], flags = compressed[1];
    const char* fault = nullptr;
    if ((method * 256 + flags) % 31 != 0) fault = "incorrect header check";
    else if ((method & 0x0F) != 8) fault = "unknown compression method";
    else if ((method >> 4) > 7) fault = "invalid window size";
    else if (flags & 0x20) fault = "needs a preset dictionary";
    if (fault) throw Error(chunk + ": damaged compressed data (" + fault + ")");
}

void inflateChunk(std::span<const std::uint8_t> compressed, std::span<std::uint8_t> out, const std::string& chunk,
                  Arrival* arrival, const std::function<void(std::size_t)>& inputRead) {
    // Whatever happens, a follower hears that nothing more will come.
    struct EndGuard {
        Arrival* a;
        ~EndGuard() {
            if (a) a->ended();
        }
    } endGuard{arrival};
    if (compressed.size() > UINT32_MAX || out.size() > UINT32_MAX) throw Error(chunk + ": too large to inflate");
    // A chunk stored with no bytes at all for no data (tools write an empty texture block so) holds
    // exactly what it states.
    if (compressed.empty() && out.empty()) return;
    // zlib's own check value takes a quarter of inflating, at a fraction of the speed ours runs
    // at: the stream is inflated raw, and its header and check value are checked here, their
    // faults named in zlib's words.
    checkStreamHeader(compressed, out.size(), chunk);
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) throw Error(chunk + ": not enough memory to inflate");
    // zlib wants somewhere to write even for an empty result, to tell "ends here" from "goes on".
    std::uint8_t spare = 0;
    constexpr std::size_t kHeaderSize = 2, kTrailerSize = 4;
    zs.next_in = const_cast<Bytef*>(compressed.data() + kHeaderSize);
    zs.avail_in = static_cast<uInt>(compressed.size() - kHeaderSize);
    zs.next_out = out.empty() ? &spare : out.data();
    std::uint32_t check = 1;
    // Followed, the output goes in steps, each told; the last step asks for the end as a single
    // call would, so the outcome and its message are the same.
    const std::size_t step = arrival ? kArrivalStep : out.size();
    // The input is told of in larger steps: giving its pages back costs the other threads too.
    const std::size_t inputStep = std::max(kInputStep, compressed.size() / 16);
    std::size_t inputTold = 0;
    int rc = Z_OK;
    for (;;) {
        const std::size_t left = out.size() - zs.total_out;
        const bool last = left <= step;
        zs.avail_out = static_cast<uInt>(last ? left : step);
        const std::size_t before = zs.total_out;
        rc = inflate(&zs, last ? Z_FINISH : Z_NO_FLUSH);
        // Checked while the bytes are still in the processor's cache, and before a follower can
        // give their pages back.
        check = adler32(check, out.subspan(before, zs.total_out - before));
        if (arrival) arrival->arrived(zs.total_out);
        const std::size_t inputDone = kHeaderSize + zs.total_in;
        if (inputRead && inputDone - inputTold >= inputStep) inputRead(inputTold = inputDone);
        if (last || rc != Z_OK) break;
    }
    const std::string message = zs.msg ? zs.msg : zError(rc);
    const uLong produced = zs.total_out;
    const uInt inputLeft = zs.avail_in;
    const std::uint8_t* trailer = zs.next_in;
    inflateEnd(&zs);

    if (rc == Z_STREAM_END) {
        if (inputLeft < kTrailerSize) throw Error(chunk + ": compressed data ends before its stream does");
        const std::uint32_t stated = std::uint32_t{trailer[0]} << 24 | std::uint32_t{trailer[1]} << 16 |
                                     std::uint32_t{trailer[2]} << 8 | trailer[3];
        if (stated != check) throw Error(chunk + ": damaged compressed data (incorrect data check)");
        if (produced != out.size())
            throw Error(chunk + ": inflates to " + std::to_string(produced) + " bytes, not the stated " +
                        std::to_string(out.size()));
        return;
    }
    if (rc == Z_BUF_ERROR && inputLeft == 0) throw Error(chunk + ": compressed data ends before its stream does");
    if (rc == Z_BUF_ERROR || rc == Z_OK)
        throw Error(chunk + ": inflates to more than the stated " + std::to_string(out.size()) + " bytes");
    if (rc == Z_MEM_ERROR) throw Error(chunk + ": not enough memory to inflate");
    throw Error(chunk + ": damaged compressed data (" + message + ")");
}

std::vector<std::uint8_t> inflateChunk(std::span<const std::uint8_t> compressed, std::uint64_t stated,
                                       const std::string& chunk) {
    checkInflatedSize(stated, compressed, chunk);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(stated));
    inflateChunk(compressed, out, chunk);
    return out;
}

}  // namespace tessarin::util
