#include "app/settings/crypt.h"

#include "core/days.h"

#include <chrono>
#include <random>
#include <utility>

namespace {

// The DES tables. Entries name input bits, 1 the most significant bit of the
// first word.
constexpr std::uint8_t kIP[64] = {
    58, 50, 42, 34, 26, 18, 10, 2,  60, 52, 44, 36, 28, 20, 12, 4,  62, 54, 46, 38, 30, 22,
    14, 6,  64, 56, 48, 40, 32, 24, 16, 8,  57, 49, 41, 33, 25, 17, 9,  1,  59, 51, 43, 35,
    27, 19, 11, 3,  61, 53, 45, 37, 29, 21, 13, 5,  63, 55, 47, 39, 31, 23, 15, 7,
};

constexpr std::uint8_t kIPInverse[64] = {
    40, 8,  48, 16, 56, 24, 64, 32, 39, 7,  47, 15, 55, 23, 63, 31, 38, 6,  46, 14, 54, 22,
    62, 30, 37, 5,  45, 13, 53, 21, 61, 29, 36, 4,  44, 12, 52, 20, 60, 28, 35, 3,  43, 11,
    51, 19, 59, 27, 34, 2,  42, 10, 50, 18, 58, 26, 33, 1,  41, 9,  49, 17, 57, 25,
};

constexpr std::array<std::uint8_t, 48> kE = {
    32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11, 12, 13, 12, 13, 14, 15, 16, 17,
    16, 17, 18, 19, 20, 21, 20, 21, 22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1,
};

constexpr std::uint8_t kP[32] = {
    16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
    2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25,
};

constexpr std::uint8_t kPC1[56] = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18, 10, 2,  59, 51, 43,
    35, 27, 19, 11, 3,  60, 52, 44, 36, 63, 55, 47, 39, 31, 23, 15, 7,  62, 54,
    46, 38, 30, 22, 14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4,
};

constexpr std::uint8_t kPC2[48] = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32,
};

constexpr std::uint8_t kShifts[16] = { 1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1 };

constexpr std::uint8_t kS[8][4][16] = {
    { { 14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7 },
      { 0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8 },
      { 4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0 },
      { 15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13 } },
    { { 15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10 },
      { 3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5 },
      { 0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15 },
      { 13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9 } },
    { { 10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8 },
      { 13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1 },
      { 13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7 },
      { 1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12 } },
    { { 7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15 },
      { 13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9 },
      { 10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4 },
      { 3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14 } },
    { { 2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9 },
      { 14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6 },
      { 4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14 },
      { 11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3 } },
    { { 12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11 },
      { 10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8 },
      { 9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6 },
      { 4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13 } },
    { { 4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1 },
      { 13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6 },
      { 1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2 },
      { 6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12 } },
    { { 13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7 },
      { 1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2 },
      { 7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8 },
      { 2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11 } },
};

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";

// Which bit of a salt character controls each of the six swaps of its group.
constexpr int kSwapBits[6] = { 2, 3, 4, 5, 1, 6 };

// A block is held as one 64-bit value: bit 1 (the most significant bit of the
// first little-endian word) at the top.
std::uint64_t LoadBlock(const unsigned char b[8])
{
    const std::uint32_t w0 = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
        std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    const std::uint32_t w1 = std::uint32_t(b[4]) | std::uint32_t(b[5]) << 8 |
        std::uint32_t(b[6]) << 16 | std::uint32_t(b[7]) << 24;
    return std::uint64_t(w0) << 32 | w1;
}

void StoreBlock(std::uint64_t v, unsigned char b[8])
{
    const std::uint32_t w0 = static_cast<std::uint32_t>(v >> 32);
    const std::uint32_t w1 = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
        b[i] = static_cast<unsigned char>(w0 >> (8 * i));
        b[4 + i] = static_cast<unsigned char>(w1 >> (8 * i));
    }
}

// Output bit i := NOT input bit table[i]; bits past m stay zero.
std::uint64_t PermuteComplement(std::uint64_t in, const std::uint8_t* table, int m)
{
    std::uint64_t out = 0;
    for (int i = 0; i < m; ++i)
        if (((in >> (64 - table[i])) & 1u) == 0)
            out |= std::uint64_t(1) << (63 - i);
    return out;
}

std::uint32_t Rotate28(std::uint32_t v, int n)
{
    return ((v << n) | (v >> (28 - n))) & 0x0FFFFFFFu;
}

// Two bytes -> three characters (5, 6 and 5 bits).
void EncodePair(unsigned char b0, unsigned char b1, std::string& out)
{
    const std::uint32_t u = std::uint32_t(b0) << 8 | b1;
    out.push_back(kAlphabet[u >> 11]);
    out.push_back(kAlphabet[(u >> 5) & 63u]);
    out.push_back(kAlphabet[u & 31u]);
}

// Position in the 65-character alphabet; all bits set for anything else.
std::uint32_t AlphabetIndex(char c)
{
    for (std::uint32_t i = 0; i < 65; ++i)
        if (kAlphabet[i] == c)
            return i;
    return 0xFFFFFFFFu;
}

// Six characters -> four bytes. Characters outside the alphabet give
// meaningless bytes; the arithmetic wraps in 32 bits by design.
void DecodeGroup(const char* p, unsigned char out[4])
{
    std::uint32_t v = AlphabetIndex(p[0]);
    v = (v << 6) | AlphabetIndex(p[1]);
    v = (v << 5) | AlphabetIndex(p[2]);
    v = (v << 5) | AlphabetIndex(p[3]);
    v = (v << 6) | AlphabetIndex(p[4]);
    v = (v << 5) | AlphabetIndex(p[5]);
    out[0] = static_cast<unsigned char>(v >> 24);
    out[1] = static_cast<unsigned char>(v >> 16);
    out[2] = static_cast<unsigned char>(v >> 8);
    out[3] = static_cast<unsigned char>(v);
}

struct SaltSources
{
    TCrypt::SaltClock clock;
    TCrypt::SaltRandom random;
};

SaltSources& Sources()
{
    static SaltSources sources;
    return sources;
}

TCrypt::SaltTime SystemTimeOfDay()
{
    const days::Moment now = days::Now();
    const std::int64_t secondOfDay = days::SecondsOfDay(now);
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
    TCrypt::SaltTime t;
    t.minute = static_cast<int>(secondOfDay / 60 % 60);
    t.second = static_cast<int>(secondOfDay % 60);
    t.millisecond = static_cast<int>(((ms % 1000) + 1000) % 1000);
    return t;
}

std::uint32_t SystemDraw()
{
    // Seeded once per process: salts drawn in quick succession still differ.
    static std::mt19937 engine { std::random_device {}() };
    std::uniform_int_distribution<std::uint32_t> below65535(0, 65534);
    return below65535(engine);
}

} // namespace

void TCrypt::SetSaltSources(SaltClock clock, SaltRandom random)
{
    Sources().clock = std::move(clock);
    Sources().random = std::move(random);
}

const std::string& TCrypt::BuiltInKey()
{
    static const std::string key = "Vd3+kq=Ty%7j";
    return key;
}

TCrypt::TCrypt()
{
    SetKey(std::string());
}

void TCrypt::SetKey(const std::string& key)
{
    key_ = key.empty() ? BuiltInKey() : key;
    Mode = kCopy;
    salt_ = NewSalt();
}

bool TCrypt::SetSalt(const std::string& salt)
{
    if (salt.size() != 6)
        return false;
    salt_ = salt;
    return true;
}

std::string TCrypt::NewSalt()
{
    const SaltSources& src = Sources();
    const SaltTime t = src.clock ? src.clock() : SystemTimeOfDay();
    const std::uint32_t r1 = src.random ? src.random() : SystemDraw();
    const std::uint32_t r2 = src.random ? src.random() : SystemDraw();
    const std::uint32_t ms = static_cast<std::uint32_t>(t.millisecond);
    const std::uint32_t hi = (r1 ^ (static_cast<std::uint32_t>(t.minute) * 16u) ^ ms) & 0xFFFFu;
    const std::uint32_t lo = (r2 ^ (static_cast<std::uint32_t>(t.second) * 16u) ^ ms) & 0xFFFFu;
    const std::uint32_t v = hi << 16 | lo;
    std::string salt;
    EncodePair(static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), salt);
    EncodePair(static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24), salt);
    return salt;
}

std::string TCrypt::Convert(const std::string& text)
{
    switch (Mode) {
    case kEncipher:
        return Encrypt(text);
    case kDecipher:
        return Decrypt(text);
    default:
        return text;
    }
}

void TCrypt::MakeKeys(std::uint8_t mode)
{
    Mode = mode;
    expansion_ = kE;
    const std::string s = salt_ + key_;

    for (std::size_t i = 0; i < 4 && i < s.size(); ++i) {
        const unsigned c = static_cast<unsigned char>(s[i]);
        for (int j = 0; j < 6; ++j)
            if ((c >> kSwapBits[j]) & 1u)
                std::swap(expansion_[6 * i + j], expansion_[6 * i + j + 24]);
    }

    unsigned char keyBlock[8] = {};
    const std::size_t start = s.size() > 8 ? 3 : 0;
    for (std::size_t i = 0; i < 8 && start + i < s.size(); ++i)
        keyBlock[i] = static_cast<unsigned char>(s[start + i]);
    const std::uint64_t k = LoadBlock(keyBlock);

    std::uint32_t h1 = static_cast<std::uint32_t>(PermuteComplement(k, kPC1, 28) >> 36);
    std::uint32_t h2 = static_cast<std::uint32_t>(PermuteComplement(k, kPC1 + 28, 28) >> 36);
    for (int n = 0; n < 16; ++n) {
        h1 = Rotate28(h1, kShifts[n]);
        h2 = Rotate28(h2, kShifts[n]);
        const std::uint64_t cd = std::uint64_t(h1) << 36 | std::uint64_t(h2) << 8;
        const std::uint64_t roundKey = PermuteComplement(cd, kPC2, 48);
        roundKeys_[mode == kDecipher ? 15 - n : n] = roundKey;
    }
}

void TCrypt::CryptBlock(unsigned char block[8]) const
{
    const std::uint64_t v = PermuteComplement(LoadBlock(block), kIP, 64);
    std::uint32_t l = static_cast<std::uint32_t>(v >> 32);
    std::uint32_t r = static_cast<std::uint32_t>(v);
    for (int n = 0; n < 16; ++n) {
        const std::uint64_t x =
            PermuteComplement(std::uint64_t(r) << 32, expansion_.data(), 48) ^ roundKeys_[n];
        std::uint32_t sOut = 0;
        for (int b = 0; b < 8; ++b) {
            const unsigned six = static_cast<unsigned>(x >> (58 - 6 * b)) & 0x3Fu;
            const unsigned row = ((six >> 4) & 2u) | (six & 1u);
            const unsigned column = (six >> 1) & 0xFu;
            sOut = (sOut << 4) | kS[b][row][column];
        }
        const std::uint32_t f =
            static_cast<std::uint32_t>(PermuteComplement(std::uint64_t(sOut) << 32, kP, 32) >> 32);
        const std::uint32_t next = l ^ f;
        l = r;
        r = next;
    }
    StoreBlock(PermuteComplement(std::uint64_t(r) << 32 | l, kIPInverse, 64), block);
}

std::uint64_t TCrypt::RoundKey(int n) const
{
    if (n < 1 || n > 16)
        return 0;
    return roundKeys_[static_cast<std::size_t>(n - 1)] >> 16;
}

std::string TCrypt::Encrypt(const std::string& plain)
{
    MakeKeys(kEncipher);
    if (plain.empty())
        return std::string();
    std::string out = salt_;
    out.reserve(salt_.size() + (plain.size() + 7) / 8 * 12);
    for (std::size_t pos = 0; pos < plain.size(); pos += 8) {
        unsigned char block[8] = {};
        for (std::size_t i = 0; i < 8 && pos + i < plain.size(); ++i)
            block[i] = static_cast<unsigned char>(plain[pos + i]);
        CryptBlock(block);
        for (int i = 0; i < 8; i += 2)
            EncodePair(block[i], block[i + 1], out);
    }
    return out;
}

std::string TCrypt::Decrypt(const std::string& text)
{
    if (text.size() < 14)
        return text;
    salt_ = text.substr(0, 6);
    MakeKeys(kDecipher);
    std::string out;
    for (std::size_t pos = 6; pos + 12 <= text.size(); pos += 12) {
        unsigned char block[8];
        DecodeGroup(text.data() + pos, block);
        DecodeGroup(text.data() + pos + 6, block + 4);
        CryptBlock(block);
        for (unsigned char c : block) {
            if (c == 0)
                break;
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}
