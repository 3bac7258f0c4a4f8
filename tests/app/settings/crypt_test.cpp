#include "app/settings/crypt.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <set>

namespace {

// Installs fixed salt sources for one test.
class FixedSalt
{
public:
    FixedSalt(TCrypt::SaltTime time, std::deque<std::uint32_t> draws)
        : draws_(std::make_shared<std::deque<std::uint32_t>>(std::move(draws)))
    {
        auto queue = draws_;
        TCrypt::SetSaltSources([time] { return time; },
                               [queue] {
                                   if (queue->empty())
                                       return std::uint32_t(0);
                                   std::uint32_t v = queue->front();
                                   queue->pop_front();
                                   return v;
                               });
    }
    ~FixedSalt() { TCrypt::SetSaltSources({}, {}); }

private:
    std::shared_ptr<std::deque<std::uint32_t>> draws_;
};

std::string Encipher(const std::string& salt, const std::string& plain,
                     const std::string& key = std::string())
{
    TCrypt c;
    c.SetKey(key);
    EXPECT_TRUE(c.SetSalt(salt));
    c.Mode = TCrypt::kEncipher;
    return c.Convert(plain);
}

std::string Decipher(const std::string& text)
{
    TCrypt c;
    c.Mode = TCrypt::kDecipher;
    return c.Convert(text);
}

bool InFirst32(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'f');
}

} // namespace

// The standard example key 133457799BBCDFF1 and its published first and last
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
// rules (bit lists, its DES tables checked against the FIPS examples).
TEST(Crypt, KnownCipherTexts)
{
    const struct
    {
        const char* salt;
        std::string plain;
        const char* cipher;
    } cases[] = {
        { "ABCDEF", "a", "ABCDEFY9YWWDXeHMyF" },
        { "AbCdEf", "password", "AbCdEfZIDE9BLnGZgB" },
        { "QmFzZT", "Secret-123", "QmFzZTISTTHAQiQN4bEUGPELEaLcrf" },
        { "zzzzzz", "\x94\xE9\x96\xA7\x82\xCC\x8C\xAE", "zzzzzzeaAOuOYyPARM" },
        { "Aa0+/=", "12345678ABCDEFGH!", "Aa0+/=BDNDXXYtZBSJEvCDsUK2fKEGaLWbyGBwbXJb" },
    };
    for (const auto& t : cases) {
        EXPECT_EQ(Encipher(t.salt, t.plain), t.cipher);
        EXPECT_EQ(Decipher(t.cipher), t.plain);
    }
    // Garbage outside the alphabet still gives the same bytes.
    EXPECT_EQ(Decipher("!!!!!!~~~~~~~~~~~~~~"), "\xB9\xD7\x6B\xCE\xC5\x26\xC1\xD5");
}

TEST(Crypt, SaltComesFromTimeOfDayAndTwoDraws)
{
    {
        FixedSalt fixed({ 12, 34, 567 }, { 1000, 65534 });
        EXPECT_EQ(TCrypt::NewSalt(), "dPfD4B");
    }
    {
        FixedSalt fixed({ 0, 0, 0 }, { 0, 0 });
        EXPECT_EQ(TCrypt::NewSalt(), "AAAAAA");
    }
    {
        FixedSalt fixed({ 59, 59, 999 }, { 65534, 65534 });
        EXPECT_EQ(TCrypt::NewSalt(), "VPfVPf");
    }
    // The same password twice: two salts lead two texts, both decipher.
    FixedSalt fixed({ 1, 2, 3 }, { 1, 2, 3, 4 });
    TCrypt a, b;
    a.Mode = b.Mode = TCrypt::kEncipher;
    const std::string ta = a.Convert("pass"), tb = b.Convert("pass");
    EXPECT_NE(ta.substr(0, 6), tb.substr(0, 6));
    EXPECT_EQ(Decipher(ta), "pass");
    EXPECT_EQ(Decipher(tb), "pass");
}

TEST(Crypt, RealSaltsDiffer)
{
    TCrypt::SetSaltSources({}, {});
    // Seeded once per process: salts drawn within one millisecond differ.
    std::set<std::string> salts;
    for (int i = 0; i < 50; ++i)
        salts.insert(TCrypt::NewSalt());
    EXPECT_GT(salts.size(), 45u);
}

TEST(Crypt, RoundTripsRandomTexts)
{
    std::mt19937 rng(20240131);
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int round = 0; round < 400; ++round) {
        const std::size_t n = 1 + rng() % 40;
        std::string plain;
        for (std::size_t i = 0; i < n; ++i)
            plain.push_back(static_cast<char>(1 + rng() % 255));
        FixedSalt fixed({ int(rng() % 60), int(rng() % 60), int(rng() % 1000) },
                        { std::uint32_t(rng() % 65535), std::uint32_t(rng() % 65535) });
        TCrypt c;
        c.Mode = TCrypt::kEncipher;
        const std::string text = c.Convert(plain);
        ASSERT_EQ(text.size(), 6 + 12 * ((n + 7) / 8));
        EXPECT_EQ(text.substr(0, 6), c.Salt());
        for (std::size_t g = 0; g < text.size(); g += 6) {
            for (std::size_t k = 0; k < 6; ++k)
                ASSERT_NE(alphabet.find(text[g + k]), std::string::npos) << text;
            EXPECT_TRUE(InFirst32(text[g]) && InFirst32(text[g + 2]) && InFirst32(text[g + 3]) &&
                        InFirst32(text[g + 5]))
                << text;
        }
        ASSERT_EQ(Decipher(text), plain);
    }
}

TEST(Crypt, LengthsAndShortTexts)
{
    EXPECT_EQ(Encipher("ABCDEF", ""), "");
    EXPECT_EQ(Encipher("ABCDEF", "12345678").size(), 18u);
    EXPECT_EQ(Encipher("ABCDEF", "123456789").size(), 30u);
    // Under 14 characters: unchanged; 14 to 17: no complete block.
    EXPECT_EQ(Decipher(""), "");
    EXPECT_EQ(Decipher("ABCDEFGHIJKLM"), "ABCDEFGHIJKLM");
    EXPECT_EQ(Decipher("ABCDEFGHIJKLMN"), "");
    EXPECT_EQ(Decipher("ABCDEFGHIJKLMNOPQ"), "");
    // An incomplete tail is ignored.
    const std::string t = Encipher("QmFzZT", "Secret-123");
    EXPECT_EQ(Decipher(t.substr(0, t.size() - 5)), "Secret-1");
    // Zero bytes at the end of a block are cut.
    EXPECT_EQ(Decipher(Encipher("ABCDEF", std::string("abcde\0\0\0", 8))), "abcde");
    // Mode 0 copies.
    TCrypt c;
    EXPECT_EQ(c.Convert("plain"), "plain");
}

TEST(Crypt, KeyBeyondItsFifthCharacterDoesNotCount)
{
    const std::string a = "Vd3+kq=Ty%7j", b = "Vd3+kXXXXXXX";
    EXPECT_EQ(Encipher("ABCDEF", "secret", a), Encipher("ABCDEF", "secret", b));
    EXPECT_NE(Encipher("ABCDEF", "secret", a), Encipher("ABCDEF", "secret", "Vd3+Xq=Ty%7j"));
    EXPECT_EQ(Encipher("ABCDEF", "secret", a), Encipher("ABCDEF", "secret"));
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
        const std::string plain = Decipher(text);
        if (text.size() < 14)
            EXPECT_EQ(plain, text);
        else
            EXPECT_LE(plain.size(), (text.size() - 6) / 12 * 8);
    }
}
