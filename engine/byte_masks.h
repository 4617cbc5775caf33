#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// GCC and Clang build AVX2 or BMI1 code into chosen functions on any x86
// target.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define QUILLON_AVX2_LANES 1
#define QUILLON_AVX2 __attribute__((target("avx2")))
#define QUILLON_BMI_LOOPS 1
#define QUILLON_BMI __attribute__((target("bmi")))
#include <immintrin.h>
#endif

// Tests on many bytes at once, for the scans over whole files and lines:
// eight bytes to a word (byte i of a word loaded from p being p[i]), and
// sixteen or sixty-four bytes to a mask of one bit a byte.
namespace quillon::byte_masks {

static_assert(std::endian::native == std::endian::little);
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x80 * kOnes;

// The top bits of a word's bytes, as the low eight bits of the result.
inline std::uint64_t topBits(std::uint64_t word) {
    return ((word & kHighBits) >> 7) * 0x0102040810204080u >> 56;
}

// Eight bytes of text read as one word.
inline std::uint64_t wordAt(const char* text) {
    std::uint64_t word;
    std::memcpy(&word, text, 8);
    return word;
}

// A pair's index is its two bytes read as one little-endian word, trail
// byte high: a run looks a pair up in a table without turning its bytes round.
inline unsigned pairIndexAt(const unsigned char* bytes) {
    std::uint16_t word;
    std::memcpy(&word, bytes, 2);
    return word;
}

// The bytes from a character start to the first character start at least
// eight bytes on, by the top bits of the eight bytes (topBits): a byte with
// its top bit set takes the next byte with it.
inline constexpr std::array<std::uint8_t, 0x100> kWordStep = [] {
    std::array<std::uint8_t, 0x100> steps{};
    for (unsigned high = 0; high < 0x100; ++high) {
        unsigned pos = 0;
        while (pos < 8) pos += (high >> pos & 1) ? 2 : 1;
        steps[high] = static_cast<std::uint8_t>(pos);
    }
    return steps;
}();

// Top bit set in each byte that is 0.
inline std::uint64_t zeroBytes(std::uint64_t word) {
    return ~(((word & ~kHighBits) + ~kHighBits) | word) & kHighBits;
}

// Top bit set in each byte equal to `value`.
inline std::uint64_t bytesEqualTo(std::uint64_t word, unsigned char value) {
    return zeroBytes(word ^ (value * kOnes));
}

// Top bit set in each byte below `limit`. A high lane keeps its top bit
// through the subtraction, so no borrow crosses lanes.
inline std::uint64_t bytesBelow(std::uint64_t word, unsigned char limit) {
    const unsigned char low = limit & 0x7F;
    const std::uint64_t lowBitsBelow = ~((word | kHighBits) - low * kOnes) & kHighBits;
    return limit >= 0x80 ? (~word | lowBitsBelow) & kHighBits : ~word & lowBitsBelow;
}

// Top bit set in each ASCII letter or digit, of a word of ASCII bytes.
// Setting bit 5 makes capitals small and leaves small letters as they are.
inline std::uint64_t asciiAlnumBytes(std::uint64_t word) {
    const std::uint64_t folded = word | 0x20 * kOnes;
    return (bytesBelow(word, '9' + 1) & ~bytesBelow(word, '0')) |
           (bytesBelow(folded, 'z' + 1) & ~bytesBelow(folded, 'a'));
}

// Sixteen bytes at once, one bit a byte (bit i for bytes[i]): SSE2 where the
// target has it, two words otherwise.
#if defined(__SSE2__)
inline __m128i load16(const unsigned char* bytes) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}
// The bytes of 80 and up.
inline unsigned highBits16(const unsigned char* bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(load16(bytes)));
}
inline unsigned equalBits16(const unsigned char* bytes, unsigned char value) {
    const __m128i equal = _mm_cmpeq_epi8(load16(bytes), _mm_set1_epi8(static_cast<char>(value)));
    return static_cast<unsigned>(_mm_movemask_epi8(equal));
}
// The bytes below `limit` (above 0): those that the minimum with limit - 1
// leaves as they are.
inline unsigned belowBits16(const unsigned char* bytes, unsigned char limit) {
    const __m128i v = load16(bytes);
    const __m128i atMost = _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(static_cast<char>(limit - 1))), v);
    return static_cast<unsigned>(_mm_movemask_epi8(atMost));
}
// The bytes equal to one of `kValues`.
template <unsigned char... kValues>
unsigned equalToAnyBits16(const unsigned char* bytes) {
    const __m128i v = load16(bytes);
    const __m128i found = (... | _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(kValues))));
    return static_cast<unsigned>(_mm_movemask_epi8(found));
}
#else
// `test` applied to both words of sixteen bytes.
template <typename Test>
unsigned bitsOf16(const unsigned char* bytes, Test test) {
    std::uint64_t low, high;
    std::memcpy(&low, bytes, 8);
    std::memcpy(&high, bytes + 8, 8);
    return static_cast<unsigned>(topBits(test(low)) | topBits(test(high)) << 8);
}
inline unsigned highBits16(const unsigned char* bytes) {
    return bitsOf16(bytes, [](std::uint64_t w) { return w; });
}
inline unsigned equalBits16(const unsigned char* bytes, unsigned char value) {
    return bitsOf16(bytes, [value](std::uint64_t w) { return bytesEqualTo(w, value); });
}
inline unsigned belowBits16(const unsigned char* bytes, unsigned char limit) {
    return bitsOf16(bytes, [limit](std::uint64_t w) { return bytesBelow(w, limit); });
}
template <unsigned char... kValues>
unsigned equalToAnyBits16(const unsigned char* bytes) {
    return bitsOf16(bytes, [](std::uint64_t w) { return (... | bytesEqualTo(w, kValues)); });
}
#endif

#if defined(QUILLON_AVX2_LANES) || defined(QUILLON_BMI_LOOPS)
// What the processor has beyond plain x86-64, asked once.
struct ProcessorFeatures {
    bool avx2;
    bool bmi;
};
inline const ProcessorFeatures& processorFeatures() {
    static const ProcessorFeatures features = [] {
        __builtin_cpu_init();
        return ProcessorFeatures{__builtin_cpu_supports("avx2") != 0, __builtin_cpu_supports("bmi") != 0};
    }();
    return features;
}
#endif

// Whether the processor has BMI1, whose instructions take a mask's lowest
// set bit in one step each (tzcnt, blsr): a loop over a mask's bits runs
// faster built for it, in a function of its own that is called only then.
#if defined(QUILLON_BMI_LOOPS)
inline bool hasBmi() { return processorFeatures().bmi; }
#endif

// Thirty-two bytes at once with AVX2, for code that has asked the processor
// (hasAvx2) before it calls them: they are built for AVX2 whatever the
// target, in functions of their own.
#if defined(QUILLON_AVX2_LANES)
inline bool hasAvx2() { return processorFeatures().avx2; }
QUILLON_AVX2 inline __m256i load32(const unsigned char* bytes) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}
QUILLON_AVX2 inline unsigned highBits32(const unsigned char* bytes) {
    return static_cast<unsigned>(_mm256_movemask_epi8(load32(bytes)));
}
QUILLON_AVX2 inline unsigned belowBits32(const unsigned char* bytes, unsigned char limit) {
    const __m256i v = load32(bytes);
    const __m256i atMost = _mm256_cmpeq_epi8(_mm256_min_epu8(v, _mm256_set1_epi8(static_cast<char>(limit - 1))), v);
    return static_cast<unsigned>(_mm256_movemask_epi8(atMost));
}
#endif

// One bit for each of the 64 bytes at `bytes`, from `test` of sixteen bytes
// at a time (highBits16 and the like).
template <typename Test16>
std::uint64_t bitsOf64(const unsigned char* bytes, Test16 test) {
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) mask |= std::uint64_t{test(bytes + 16 * i)} << 16 * i;
    return mask;
}

// The lead bytes among 64 bytes whose high bytes (80 and up) are `high`: in a
// run of high bytes, those at an even distance from its start. When
// `startsWithTrail`, the first byte is the trail of a lead before the block.
// A lead that is the last byte pairs with the byte after the block.
inline std::uint64_t leadBytes(std::uint64_t high, bool startsWithTrail) {
    constexpr std::uint64_t kEven = 0x5555555555555555u;
    const std::uint64_t candidates = high & ~std::uint64_t(startsWithTrail ? 1 : 0);
    const std::uint64_t starts = candidates & ~(candidates << 1);
    // Adding a run's lowest bit carries through the run: the bits that flip
    // are those of the runs that start at an even position.
    const std::uint64_t evenRuns = ((candidates + (starts & kEven)) ^ candidates) & candidates;
    return (evenRuns & kEven) | (candidates & ~evenRuns & ~kEven);
}

}  // namespace quillon::byte_masks
