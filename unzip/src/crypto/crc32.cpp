// CRC-32 over a buffer, sixteen bytes per step. The table of Crc32Byte tells what one byte does to
// the register; table k of the sliced set tells what a byte does when k zero bytes follow it, so
// the sixteen bytes of a step are looked up independently and their effects combined with XOR.
//
// One register can only go as fast as one step's lookups follow each other, so long buffers are
// taken in blocks of three lanes whose registers advance side by side: the first lane continues
// the register, the other two start from zero. The register's update is linear, so the CRC of the
// whole block is the first lane's register carried over the next lane's length of zeros, XORed with
// the second lane's, carried again, XORed with the third's. Carrying a register over a lane of
// zeros is four lookups in tables made for that length.
//
// Where the processor multiplies without carries, long buffers go through folding instead (see
// below), and the tables take only what is left of them.
//
// All tables are constant data: the first is written out, the others are derived from it by the
// compiler.
#include "crypto/crc32.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace kq {

extern constexpr std::uint32_t Crc32Table[256] = {
    0x00000000, 0x77073096, 0xEE0E612C, 0x990951BA, 0x076DC419, 0x706AF48F, 0xE963A535, 0x9E6495A3,
    0x0EDB8832, 0x79DCB8A4, 0xE0D5E91E, 0x97D2D988, 0x09B64C2B, 0x7EB17CBD, 0xE7B82D07, 0x90BF1D91,
    0x1DB71064, 0x6AB020F2, 0xF3B97148, 0x84BE41DE, 0x1ADAD47D, 0x6DDDE4EB, 0xF4D4B551, 0x83D385C7,
    0x136C9856, 0x646BA8C0, 0xFD62F97A, 0x8A65C9EC, 0x14015C4F, 0x63066CD9, 0xFA0F3D63, 0x8D080DF5,
    0x3B6E20C8, 0x4C69105E, 0xD56041E4, 0xA2677172, 0x3C03E4D1, 0x4B04D447, 0xD20D85FD, 0xA50AB56B,
    0x35B5A8FA, 0x42B2986C, 0xDBBBC9D6, 0xACBCF940, 0x32D86CE3, 0x45DF5C75, 0xDCD60DCF, 0xABD13D59,
    0x26D930AC, 0x51DE003A, 0xC8D75180, 0xBFD06116, 0x21B4F4B5, 0x56B3C423, 0xCFBA9599, 0xB8BDA50F,
    0x2802B89E, 0x5F058808, 0xC60CD9B2, 0xB10BE924, 0x2F6F7C87, 0x58684C11, 0xC1611DAB, 0xB6662D3D,
    0x76DC4190, 0x01DB7106, 0x98D220BC, 0xEFD5102A, 0x71B18589, 0x06B6B51F, 0x9FBFE4A5, 0xE8B8D433,
    0x7807C9A2, 0x0F00F934, 0x9609A88E, 0xE10E9818, 0x7F6A0DBB, 0x086D3D2D, 0x91646C97, 0xE6635C01,
    0x6B6B51F4, 0x1C6C6162, 0x856530D8, 0xF262004E, 0x6C0695ED, 0x1B01A57B, 0x8208F4C1, 0xF50FC457,
    0x65B0D9C6, 0x12B7E950, 0x8BBEB8EA, 0xFCB9887C, 0x62DD1DDF, 0x15DA2D49, 0x8CD37CF3, 0xFBD44C65,
    0x4DB26158, 0x3AB551CE, 0xA3BC0074, 0xD4BB30E2, 0x4ADFA541, 0x3DD895D7, 0xA4D1C46D, 0xD3D6F4FB,
    0x4369E96A, 0x346ED9FC, 0xAD678846, 0xDA60B8D0, 0x44042D73, 0x33031DE5, 0xAA0A4C5F, 0xDD0D7CC9,
    0x5005713C, 0x270241AA, 0xBE0B1010, 0xC90C2086, 0x5768B525, 0x206F85B3, 0xB966D409, 0xCE61E49F,
    0x5EDEF90E, 0x29D9C998, 0xB0D09822, 0xC7D7A8B4, 0x59B33D17, 0x2EB40D81, 0xB7BD5C3B, 0xC0BA6CAD,
    0xEDB88320, 0x9ABFB3B6, 0x03B6E20C, 0x74B1D29A, 0xEAD54739, 0x9DD277AF, 0x04DB2615, 0x73DC1683,
    0xE3630B12, 0x94643B84, 0x0D6D6A3E, 0x7A6A5AA8, 0xE40ECF0B, 0x9309FF9D, 0x0A00AE27, 0x7D079EB1,
    0xF00F9344, 0x8708A3D2, 0x1E01F268, 0x6906C2FE, 0xF762575D, 0x806567CB, 0x196C3671, 0x6E6B06E7,
    0xFED41B76, 0x89D32BE0, 0x10DA7A5A, 0x67DD4ACC, 0xF9B9DF6F, 0x8EBEEFF9, 0x17B7BE43, 0x60B08ED5,
    0xD6D6A3E8, 0xA1D1937E, 0x38D8C2C4, 0x4FDFF252, 0xD1BB67F1, 0xA6BC5767, 0x3FB506DD, 0x48B2364B,
    0xD80D2BDA, 0xAF0A1B4C, 0x36034AF6, 0x41047A60, 0xDF60EFC3, 0xA867DF55, 0x316E8EEF, 0x4669BE79,
    0xCB61B38C, 0xBC66831A, 0x256FD2A0, 0x5268E236, 0xCC0C7795, 0xBB0B4703, 0x220216B9, 0x5505262F,
    0xC5BA3BBE, 0xB2BD0B28, 0x2BB45A92, 0x5CB36A04, 0xC2D7FFA7, 0xB5D0CF31, 0x2CD99E8B, 0x5BDEAE1D,
    0x9B64C2B0, 0xEC63F226, 0x756AA39C, 0x026D930A, 0x9C0906A9, 0xEB0E363F, 0x72076785, 0x05005713,
    0x95BF4A82, 0xE2B87A14, 0x7BB12BAE, 0x0CB61B38, 0x92D28E9B, 0xE5D5BE0D, 0x7CDCEFB7, 0x0BDBDF21,
    0x86D3D2D4, 0xF1D4E242, 0x68DDB3F8, 0x1FDA836E, 0x81BE16CD, 0xF6B9265B, 0x6FB077E1, 0x18B74777,
    0x88085AE6, 0xFF0F6A70, 0x66063BCA, 0x11010B5C, 0x8F659EFF, 0xF862AE69, 0x616BFFD3, 0x166CCF45,
    0xA00AE278, 0xD70DD2EE, 0x4E048354, 0x3903B3C2, 0xA7672661, 0xD06016F7, 0x4969474D, 0x3E6E77DB,
    0xAED16A4A, 0xD9D65ADC, 0x40DF0B66, 0x37D83BF0, 0xA9BCAE53, 0xDEBB9EC5, 0x47B2CF7F, 0x30B5FFE9,
    0xBDBDF21C, 0xCABAC28A, 0x53B39330, 0x24B4A3A6, 0xBAD03605, 0xCDD70693, 0x54DE5729, 0x23D967BF,
    0xB3667A2E, 0xC4614AB8, 0x5D681B02, 0x2A6F2B94, 0xB40BBE37, 0xC30C8EA1, 0x5A05DF1B, 0x2D02EF8D,
};

namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320;

// The written-out table, checked against the polynomial at compile time.
constexpr bool TableMatchesPolynomial() {
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? (c >> 1) ^ kPolynomial : c >> 1;
        }
        if (Crc32Table[n] != c) {
            return false;
        }
    }
    return true;
}
static_assert(TableMatchesPolynomial(), "the CRC-32 table does not match its polynomial");

constexpr int kSlices = 16;

struct SlicedTables {
    std::uint32_t t[kSlices][256];
};

// Built at the first use rather than stored: 16 KB less in every program that carries it.
const SlicedTables& Sliced() {
    static const SlicedTables* const tables = [] {
        auto* s = new SlicedTables;
        for (int n = 0; n < 256; ++n) {
            s->t[0][n] = Crc32Table[n];
        }
        for (int k = 1; k < kSlices; ++k) {
            for (int n = 0; n < 256; ++n) {
                s->t[k][n] = (s->t[k - 1][n] >> 8) ^ Crc32Table[s->t[k - 1][n] & 0xFF];
            }
        }
        return s;
    }();
    return *tables;
}

inline std::uint32_t LoadLittleEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline std::uint32_t Step16(const SlicedTables& tables, std::uint32_t crc,
                            const std::uint8_t* data) {
    const auto& t = tables.t;
    const std::uint32_t a = LoadLittleEndian32(data) ^ crc;
    const std::uint32_t b = LoadLittleEndian32(data + 4);
    const std::uint32_t c = LoadLittleEndian32(data + 8);
    const std::uint32_t d = LoadLittleEndian32(data + 12);
    return t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
           t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
           t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
           t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
}

constexpr std::size_t kLane = 1024;

// Tables that carry a register over kLane zero bytes, one per register byte.
struct LaneTables {
    std::uint32_t t[4][256];
};

constexpr std::uint32_t OverZeros(std::uint32_t crc, std::size_t n) {
    while (n-- > 0) {
        crc = (crc >> 8) ^ Crc32Table[crc & 0xFF];
    }
    return crc;
}

constexpr LaneTables MakeLaneTables() {
    LaneTables s{};
    // Carrying is linear: each register bit's carried value, then each byte value's as the XOR of
    // its bits'.
    std::uint32_t bit[32] = {};
    for (int i = 0; i < 32; ++i) {
        bit[i] = OverZeros(std::uint32_t(1) << i, kLane);
    }
    for (int k = 0; k < 4; ++k) {
        for (int n = 0; n < 256; ++n) {
            for (int i = 0; i < 8; ++i) {
                if (n & (1 << i)) {
                    s.t[k][n] ^= bit[8 * k + i];
                }
            }
        }
    }
    return s;
}

constexpr LaneTables kLaneTables = MakeLaneTables();

inline std::uint32_t OverOneLane(std::uint32_t crc) {
    const auto& t = kLaneTables.t;
    return t[0][crc & 0xFF] ^ t[1][(crc >> 8) & 0xFF] ^ t[2][(crc >> 16) & 0xFF] ^ t[3][crc >> 24];
}

// --- Carry-less multiplication ------------------------------------------------------------------
//
// The register is a polynomial over GF(2), bits reflected. Sixteen bytes of data plus the register
// make a 128-bit polynomial; multiplying its two halves by x^(n+64) and x^n modulo P (constants
// precomputed for the reflected P) moves it n bits further on, where it is XORed into the data
// found there. Four such accumulators fold 64 bytes per round; they are then folded into one,
// reduced to 64 and to 32 bits, and a Barrett reduction gives the register.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define KQ_CRC_CLMUL 1

struct alignas(16) FoldConstants {
    std::uint64_t lo;
    std::uint64_t hi;
};

// The powers of x modulo P, bits reflected, that fold an accumulator over 64 bytes,
constexpr FoldConstants kFold512 = {0x0154442bd4, 0x01c6e41596};
// over 16 bytes,
constexpr FoldConstants kFold128 = {0x01751997d0, 0x00ccaa009e};
// and from 64 bits to 32.
constexpr FoldConstants kFold64 = {0x0163cd6124, 0};
// P itself (with its x^32 term) and floor(x^64 / P), for the Barrett reduction.
constexpr FoldConstants kBarrett = {0x01db710641, 0x01f7011641};

#define KQ_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

KQ_CLMUL_TARGET inline __m128i Load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

KQ_CLMUL_TARGET inline __m128i Constants(const FoldConstants& k) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(&k));
}

// The accumulator x carried over 128 bits with k, XORed into next.
KQ_CLMUL_TARGET inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// The accumulator folded on with the data that follows it, 16 bytes at a time, then reduced to
// the register. count is a multiple of 16.
KQ_CLMUL_TARGET std::uint32_t FinishClmul(__m128i x1, const std::uint8_t* data, std::size_t count) {
    const __m128i k = Constants(kFold128);
    while (count >= 16) {
        x1 = Fold(x1, k, Load(data));
        data += 16;
        count -= 16;
    }

    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    // 128 bits to 96, then to 64.
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, k, 0x10), _mm_srli_si128(x1, 8));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), Constants(kFold64), 0x00),
                       _mm_srli_si128(x1, 4));
    // Barrett: the quotient by P from the low 32 bits, and the remainder it leaves.
    const __m128i p = Constants(kBarrett);
    __m128i q = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), p, 0x10);
    q = _mm_clmulepi64_si128(_mm_and_si128(q, low32), p, 0x00);
    return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, q), 1));
}

// count is a multiple of 16, at least 64.
KQ_CLMUL_TARGET std::uint32_t ClmulCrc(std::uint32_t crc, const std::uint8_t* data,
                                       std::size_t count) {
    __m128i x1 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(data + 16);
    __m128i x3 = Load(data + 32);
    __m128i x4 = Load(data + 48);
    data += 64;
    count -= 64;
    __m128i k = Constants(kFold512);
    while (count >= 64) {
        x1 = Fold(x1, k, Load(data));
        x2 = Fold(x2, k, Load(data + 16));
        x3 = Fold(x3, k, Load(data + 32));
        x4 = Fold(x4, k, Load(data + 48));
        data += 64;
        count -= 64;
    }
    k = Constants(kFold128);
    x1 = Fold(x1, k, x2);
    x1 = Fold(x1, k, x3);
    x1 = Fold(x1, k, x4);
    return FinishClmul(x1, data, count);
}

// The same with 256-bit registers, each holding two accumulators: four registers fold 128 bytes
// per round, then into one, whose two halves are folded into one accumulator.
constexpr FoldConstants kFold1024 = {0x01e88ef372, 0x014a7fe880};
constexpr FoldConstants kFold256 = {0x00f1da05aa, 0x015a546366};

#define KQ_WIDE_CLMUL_TARGET __attribute__((target("vpclmulqdq,avx2,pclmul,sse4.1")))

KQ_WIDE_CLMUL_TARGET inline __m256i Load256(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

KQ_WIDE_CLMUL_TARGET inline __m256i Fold256(__m256i x, __m256i k, __m256i next) {
    const __m256i low = _mm256_clmulepi64_epi128(x, k, 0x00);
    const __m256i high = _mm256_clmulepi64_epi128(x, k, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(low, high), next);
}

// count is a multiple of 16, at least 128.
KQ_WIDE_CLMUL_TARGET std::uint32_t WideClmulCrc(std::uint32_t crc, const std::uint8_t* data,
                                                std::size_t count) {
    __m256i x1 = _mm256_xor_si256(Load256(data),
                                  _mm256_zextsi128_si256(_mm_cvtsi32_si128(static_cast<int>(crc))));
    __m256i x2 = Load256(data + 32);
    __m256i x3 = Load256(data + 64);
    __m256i x4 = Load256(data + 96);
    data += 128;
    count -= 128;
    __m256i k = _mm256_broadcastsi128_si256(Constants(kFold1024));
    while (count >= 128) {
        x1 = Fold256(x1, k, Load256(data));
        x2 = Fold256(x2, k, Load256(data + 32));
        x3 = Fold256(x3, k, Load256(data + 64));
        x4 = Fold256(x4, k, Load256(data + 96));
        data += 128;
        count -= 128;
    }
    k = _mm256_broadcastsi128_si256(Constants(kFold256));
    x1 = Fold256(x1, k, x2);
    x1 = Fold256(x1, k, x3);
    x1 = Fold256(x1, k, x4);
    const __m128i x =
        Fold(_mm256_castsi256_si128(x1), Constants(kFold128), _mm256_extracti128_si256(x1, 1));
    return FinishClmul(x, data, count);
}

bool HasWideClmul() {
    static const bool has = __builtin_cpu_supports("vpclmulqdq") &&
                            __builtin_cpu_supports("avx2") && __builtin_cpu_supports("pclmul") &&
                            __builtin_cpu_supports("sse4.1");
    return has;
}

bool HasClmul() {
    static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return has;
}
#endif

} // namespace

namespace {

std::uint32_t UpdateCrcFolding(std::uint32_t crc, const std::uint8_t* data, std::size_t count,
                               bool wide) {
#ifdef KQ_CRC_CLMUL
    if (count >= 64 && HasClmul()) {
        const std::size_t folded = count & ~std::size_t(15);
        crc = wide && count >= 128 && HasWideClmul() ? WideClmulCrc(crc, data, folded)
                                                     : ClmulCrc(crc, data, folded);
        data += folded;
        count -= folded;
    }
#else
    (void)wide;
#endif
    return UpdateCrcWithTables(crc, data, count);
}

} // namespace

std::uint32_t UpdateCrc(std::uint32_t crc, const std::uint8_t* data, std::size_t count) {
    return UpdateCrcFolding(crc, data, count, true);
}

std::uint32_t UpdateCrcWith128Bits(std::uint32_t crc, const std::uint8_t* data, std::size_t count) {
    return UpdateCrcFolding(crc, data, count, false);
}

std::uint32_t UpdateCrcWithTables(std::uint32_t crc, const std::uint8_t* data, std::size_t count) {
    const SlicedTables& sliced = Sliced();
    while (count >= 3 * kLane) {
        std::uint32_t first = crc, second = 0, third = 0;
        for (std::size_t i = 0; i < kLane; i += kSlices) {
            first = Step16(sliced, first, data + i);
            second = Step16(sliced, second, data + kLane + i);
            third = Step16(sliced, third, data + 2 * kLane + i);
        }
        crc = OverOneLane(OverOneLane(first) ^ second) ^ third;
        data += 3 * kLane;
        count -= 3 * kLane;
    }
    while (count >= kSlices) {
        crc = Step16(sliced, crc, data);
        data += kSlices;
        count -= kSlices;
    }
    while (count-- > 0) {
        crc = Crc32Byte(*data++, crc);
    }
    return crc;
}

} // namespace kq
