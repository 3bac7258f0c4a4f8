#include "app/settings/crypt.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>

namespace {

// Fixes the time of day and the draws of the salt generator for one scope.
struct FixedSalt
{
    FixedSalt(TCrypt::SaltTime time, std::vector<std::uint32_t> draws)
    {
        auto next = std::make_shared<std::size_t>(0);
        TCrypt::SetSaltSources([time] { return time; },
                               [draws, next] { return draws[(*next)++ % draws.size()]; });
    }
    ~FixedSalt() { TCrypt::SetSaltSources({}, {}); }
};

std::string Convert(std::uint8_t mode, const std::string& text, const char* salt = nullptr,
                    const std::string& key = std::string())
{
    TCrypt c;
    c.SetKey(key);
    if (salt && !c.SetSalt(salt))
        ADD_FAILURE() << salt;
    c.Mode = mode;
    return c.Convert(text);
}

} // namespace

// The standard example key 133457799BBCDFF1 with its published first and last
// round keys. The key block is cut from salt characters 4-6 and the key's
// first five bytes, and its bits are numbered within little-endian words, so
// those eight bytes are laid out as 79 57 34 13 F1 DF BC 9B.
TEST(Crypt, KeyScheduleEqualsTheStandardOne)
{
    TCrypt c;
    c.SetKey(std::string("\x13\xF1\xDF\xBC\x9B", 5) + "tail");
    ASSERT_TRUE(c.SetSalt("AAAyW4"));
    c.MakeKeys(TCrypt::kEncipher);
    EXPECT_EQ(c.RoundKey(1), 0x1B02EFFC7072u);
    EXPECT_EQ(c.RoundKey(2), 0x79AED9DBC9E5u);
    EXPECT_EQ(c.RoundKey(16), 0xCB3D8B0E17F5u);
    c.MakeKeys(TCrypt::kDecipher);
    EXPECT_EQ(c.RoundKey(16), 0x1B02EFFC7072u);
    EXPECT_EQ(c.RoundKey(1), 0xCB3D8B0E17F5u);
}

// Cipher texts computed by a separate implementation written from the same
// rules (bit lists; its DES tables checked against the FIPS 46 examples).
TEST(Crypt, KnownCipherTexts)
{
    const std::tuple<const char*, std::string, std::string> cases[] = {
        { "ABCDEF", "a", "ABCDEFY9YWWDXeHMyF" },
        { "AbCdEf", "password", "AbCdEfZIDE9BLnGZgB" },
        { "QmFzZT", "Secret-123", "QmFzZTISTTHAQiQN4bEUGPELEaLcrf" },
        { "zzzzzz", "\x94\xE9\x96\xA7\x82\xCC\x8C\xAE", "zzzzzzeaAOuOYyPARM" },
        { "Aa0+/=", "12345678ABCDEFGH!", "Aa0+/=BDNDXXYtZBSJEvCDsUK2fKEGaLWbyGBwbXJb" },
    };
    for (const auto& [salt, plain, cipher] : cases) {
        EXPECT_EQ(Convert(TCrypt::kEncipher, plain, salt), cipher);
        EXPECT_EQ(Convert(TCrypt::kDecipher, cipher), plain);
    }
    // Characters outside the alphabet still decode to fixed bytes.
    EXPECT_EQ(Convert(TCrypt::kDecipher, "!!!!!!~~~~~~~~~~~~~~"),
              "\xB9\xD7\x6B\xCE\xC5\x26\xC1\xD5");
    // Only the key's first five characters count (with a 6-character salt).
    EXPECT_EQ(Convert(TCrypt::kEncipher, "secret", "ABCDEF", "Vd3+kXXXXXXX"),
              Convert(TCrypt::kEncipher, "secret", "ABCDEF"));
    EXPECT_NE(Convert(TCrypt::kEncipher, "secret", "ABCDEF", "Vd3+Xq=Ty%7j"),
              Convert(TCrypt::kEncipher, "secret", "ABCDEF"));
}

TEST(Crypt, SaltComesFromTimeOfDayAndTwoDraws)
{
    const std::tuple<TCrypt::SaltTime, std::uint32_t, std::uint32_t, const char*> cases[] = {
        { { 12, 34, 567 }, 1000, 65534, "dPfD4B" },
        { { 0, 0, 0 }, 0, 0, "AAAAAA" },
        { { 59, 59, 999 }, 65534, 65534, "VPfVPf" },
    };
    for (const auto& [time, r1, r2, salt] : cases) {
        FixedSalt fixed(time, { r1, r2 });
        EXPECT_EQ(TCrypt::NewSalt(), salt);
    }
    // The real generator is seeded once per process: salts drawn within the
    // same millisecond still differ.
    std::set<std::string> salts;
    for (int i = 0; i < 50; ++i)
        salts.insert(TCrypt::NewSalt());
    EXPECT_GT(salts.size(), 45u);
}

TEST(Crypt, RoundTripsRandomTexts)
{
    std::mt19937 rng(20240131);
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto first32 = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'f'); };
    for (int round = 0; round < 400; ++round) {
        std::string plain(1 + rng() % 40, ' ');
        for (char& ch : plain)
            ch = static_cast<char>(1 + rng() % 255);
        FixedSalt fixed({ int(rng() % 60), int(rng() % 60), int(rng() % 1000) },
                        { std::uint32_t(rng() % 65535), std::uint32_t(rng() % 65535) });
        TCrypt c;
        c.Mode = TCrypt::kEncipher;
        const std::string text = c.Convert(plain);
        ASSERT_EQ(text.size(), 6 + 12 * ((plain.size() + 7) / 8));
        EXPECT_EQ(text.substr(0, 6), c.Salt());
        EXPECT_EQ(text.find_first_not_of(alphabet), std::string::npos) << text;
        for (std::size_t g = 0; g < text.size(); g += 6)
            EXPECT_TRUE(first32(text[g]) && first32(text[g + 2]) && first32(text[g + 3]) &&
                        first32(text[g + 5]))
                << text;
        ASSERT_EQ(Convert(TCrypt::kDecipher, text), plain);
    }
}

TEST(Crypt, ShortTextsAndTails)
{
    EXPECT_EQ(Convert(TCrypt::kEncipher, "", "ABCDEF"), "");
    EXPECT_EQ(Convert(TCrypt::kEncipher, "123456789", "ABCDEF").size(), 30u);
    EXPECT_EQ(Convert(TCrypt::kCopy, "plain"), "plain");
    // Under 14 characters: unchanged; 14 to 17: no complete block.
    EXPECT_EQ(Convert(TCrypt::kDecipher, "ABCDEFGHIJKLM"), "ABCDEFGHIJKLM");
    EXPECT_EQ(Convert(TCrypt::kDecipher, "ABCDEFGHIJKLMN"), "");
    EXPECT_EQ(Convert(TCrypt::kDecipher, "ABCDEFGHIJKLMNOPQ"), "");
    // An incomplete tail is ignored; zero bytes at the end of a block are cut.
    EXPECT_EQ(Convert(TCrypt::kDecipher, "QmFzZTISTTHAQiQN4bEUGPELEa"), "Secret-1");
    const std::string zeros = Convert(TCrypt::kEncipher, std::string("abcde\0\0\0", 8), "ABCDEF");
    EXPECT_EQ(Convert(TCrypt::kDecipher, zeros), "abcde");
}

// Garbage of any length and any bytes deciphers without reading out of bounds
// (run under the sanitizers).
TEST(Crypt, GarbageDeciphersSafely)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string text(rng() % 64, '\0');
        for (char& ch : text)
            ch = static_cast<char>(rng());
        const std::string plain = Convert(TCrypt::kDecipher, text);
        if (text.size() < 14)
            EXPECT_EQ(plain, text);
        else
            EXPECT_LE(plain.size(), (text.size() - 6) / 12 * 8);
    }
}
