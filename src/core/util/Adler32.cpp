#include "util/Adler32.h"

#include <algorithm>
#include <cstddef>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tessarin::util {

namespace {

constexpr std::uint32_t kModulus = 65521;
// The most bytes whose sums fit 32 bits before they are reduced (zlib's NMAX).
constexpr std::size_t kMaxRun = 5552;

#if defined(__x86_64__)
__attribute__((target("avx2"))) std::uint32_t sumLanes(__m256i v) {
    __m128i x = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    x = _mm_add_epi32(x, _mm_shuffle_epi32(x, 0x4E));
    x = _mm_add_epi32(x, _mm_shuffle_epi32(x, 0xB1));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(x));
}

// Per 32 bytes b0..b31: the first sum grows by their total, the second by 32 times the first sum
// before them plus 32 b0 + 31 b1 + ... + 1 b31.
__attribute__((target("avx2"))) std::uint32_t adler32Avx2(std::uint32_t adler, const std::uint8_t* p, std::size_t n) {
    std::uint64_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    const __m256i weights = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15,
                                             14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    const __m256i ones = _mm256_set1_epi16(1);
    const __m256i zero = _mm256_setzero_si256();
    while (n >= 32) {
        std::size_t blocks = std::min(n, kMaxRun) / 32;
        n -= blocks * 32;
        s2 += s1 * blocks * 32;
        __m256i sums = zero, weighted = zero, sumsBefore = zero;
        do {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            sumsBefore = _mm256_add_epi32(sumsBefore, sums);
            sums = _mm256_add_epi32(sums, _mm256_sad_epu8(v, zero));
            weighted = _mm256_add_epi32(weighted, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
            p += 32;
        } while (--blocks > 0);
        weighted = _mm256_add_epi32(weighted, _mm256_slli_epi32(sumsBefore, 5));
        s1 = (s1 + sumLanes(sums)) % kModulus;
        s2 = (s2 + sumLanes(weighted)) % kModulus;
    }
    return detail::adler32Portable(static_cast<std::uint32_t>(s1 | (s2 << 16)), {p, n});
}

bool hasAvx2() {
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return has;
}
#endif

}  // namespace

namespace detail {

std::uint32_t adler32Portable(std::uint32_t adler, std::span<const std::uint8_t> bytes) {
    std::uint32_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    while (n > 0) {
        const std::size_t run = std::min(n, kMaxRun);
        n -= run;
        for (const std::uint8_t* end = p + run; p != end; ++p) {
            s1 += *p;
            s2 += s1;
        }
        s1 %= kModulus;
        s2 %= kModulus;
    }
    return s1 | (s2 << 16);
}

}  // namespace detail

std::uint32_t adler32(std::uint32_t adler, std::span<const std::uint8_t> bytes) {
#if defined(__x86_64__)
    if (hasAvx2()) return adler32Avx2(adler, bytes.data(), bytes.size());
#endif
    return detail::adler32Portable(adler, bytes);
}

}  // namespace tessarin::util
