#pragma once

// The password cipher: a block cipher on the DES tables and round structure
// with its own twists (complemented permutations, a salted expansion table,
// the key cut out of salt and key text, little-endian bit numbering, and a
// printable text form led by a 6-character salt). Stored passwords depend on
// every one of those details.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class TCrypt
{
public:
    // Mode values.
    static constexpr std::uint8_t kCopy = 0;
    static constexpr std::uint8_t kEncipher = 1;
    static constexpr std::uint8_t kDecipher = 2;

    TCrypt();

    // Takes key (the built-in key when empty), resets Mode to copy and draws a
    // new salt.
    void SetKey(const std::string& key);
    const std::string& Key() const { return key_; }
    const std::string& Salt() const { return salt_; }
    // Fixes the salt of the next Encrypt; only a 6-character salt is taken.
    bool SetSalt(const std::string& salt);
    // A fresh 6-character salt from the time of day and the salt generator.
    static std::string NewSalt();

    // Mode 1 enciphers, mode 2 deciphers, any other mode copies the text.
    std::string Convert(const std::string& text);
    // Salt followed by 12 characters per 8-byte block; empty for empty text.
    std::string Encrypt(const std::string& plain);
    // Texts under 14 characters come back unchanged; an incomplete tail of
    // the body is ignored.
    std::string Decrypt(const std::string& text);

    // Prepares the expansion table and the round keys for mode 1 or 2.
    void MakeKeys(std::uint8_t mode);
    // Enciphers or deciphers one block in place with the prepared round keys.
    void CryptBlock(unsigned char block[8]) const;

    // Round key n (1..16) as prepared by MakeKeys: 48 bits, bit 1 of the
    // standard numbering the most significant.
    std::uint64_t RoundKey(int n) const;
    const std::array<std::uint8_t, 48>& ExpansionTable() const { return expansion_; }

    static const std::string& BuiltInKey();

    std::uint8_t Mode = kCopy;

    // Where salts come from. The clock gives the local time of day; the
    // generator gives uniform draws in 0..65534. Tests install their own;
    // empty functions restore the real ones (the generator is seeded once
    // per process from std::random_device).
    struct SaltTime
    {
        int minute = 0;
        int second = 0;
        int millisecond = 0;
    };
    using SaltClock = std::function<SaltTime()>;
    using SaltRandom = std::function<std::uint32_t()>;
    static void SetSaltSources(SaltClock clock, SaltRandom random);

private:
    std::string key_;
    std::string salt_;
    std::array<std::uint8_t, 48> expansion_ {};
    // Top-aligned 48-bit round keys.
    std::array<std::uint64_t, 16> roundKeys_ {};
};
