// Probe commands of the settings module: the password cipher and a settings
// file load/save round trip. Texts are Shift_JIS bytes, passed through as
// they are; each result is followed by one line feed.

#include "tools/probe/probe.h"

#include "app/settings/crypt.h"
#include "app/settings/initparam.h"
#include "core/files.h"

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

// Loads IN (which may be missing) and saves the settings to OUT, carrying
// IN's other lines along as saving back to IN would. IN is written only when
// it is OUT.
int Settings(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return probe::Usage("settings IN OUT");
    std::string lines, error;
    bool exists = true;
    if (!files::ReadAll(args[0], lines, &error, &exists) && exists) {
        std::fprintf(stderr, "kalvero-probe: %s\n", error.c_str());
        return 1;
    }
    TInitParam settings;
    settings.LoadFromFile(args[0]);
    // From here on, whatever saves the settings (the destructor too) writes
    // OUT.
    settings.FileName = args[1];
    if (args[1] != args[0] && !files::WriteAtomic(args[1], lines, &error)) {
        std::fprintf(stderr, "kalvero-probe: %s\n", error.c_str());
        return 1;
    }
    return settings.SaveToFile() ? 0 : 1;
}

probe::Command settingsCmd("settings", "settings IN OUT", &Settings);
probe::Command encryptCmd("encrypt", "encrypt SALT TEXT", &Encrypt);
probe::Command decryptCmd("decrypt", "decrypt CIPHERTEXT", &Decrypt);

} // namespace
