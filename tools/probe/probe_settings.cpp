// Probe commands of the settings module: the password cipher and a settings
// file load/save round trip. Texts are Shift_JIS bytes, passed through as
// they are; each result is followed by one line feed.

#include "tools/probe/probe.h"

#include "app/settings/crypt.h"

#include <cstdio>

namespace {

void WriteLine(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
}

int Encrypt(const std::vector<std::string>& args)
{
    const char* usage = "encrypt SALT TEXT   (SALT: 6 characters)";
    if (args.size() != 2)
        return probe::Usage(usage);
    TCrypt cipher;
    if (!cipher.SetSalt(args[0]))
        return probe::Usage(usage);
    cipher.Mode = TCrypt::kEncipher;
    WriteLine(cipher.Convert(args[1]));
    return 0;
}

int Decrypt(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return probe::Usage("decrypt CIPHERTEXT");
    TCrypt cipher;
    cipher.Mode = TCrypt::kDecipher;
    WriteLine(cipher.Convert(args[0]));
    return 0;
}

probe::Command encryptCmd("encrypt", "encrypt SALT TEXT", &Encrypt);
probe::Command decryptCmd("decrypt", "decrypt CIPHERTEXT", &Decrypt);

} // namespace
