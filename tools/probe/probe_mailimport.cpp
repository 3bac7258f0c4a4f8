// Mail sub-commands that change files: the import of a mail's defined-field
// block into a schedule file, and the day digest written from one. Options
// are settings keys in lower case with their values (autopickup=2); what is
// not given keeps the settings' default, and the settings file's own rules
// apply to what is.

#include "app/daydigest.h"
#include "app/mailimport.h"
#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "tools/probe/probe.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const char kImportUsage[] = "mailimport FILE.sch MAILFILE [force] [autopickup=N] [userlist=TEXT] "
                            "[alermreject=0|1]";
const char kDigestUsage[] = "digest FILE.sch TODAY OUT [daycount=N] [memolimit=N] "
                            "[nomemosched=0|1] [memoclear=0|1]";

// Loads the settings from "key=value" options (only the keys allowed), through
// a settings file of their own so that every key's rules apply.
bool LoadOptions(TInitParam& settings, const std::vector<std::string>& options,
                 std::initializer_list<const char*> allowed)
{
    std::string lines;
    for (const std::string& option : options) {
        const std::size_t eq = option.find('=');
        bool known = false;
        for (const char* key : allowed)
            known = known || (eq != std::string::npos && option.compare(0, eq, key) == 0);
        if (!known)
            return false;
        lines += sjis::UpperAscii(option.substr(0, eq)) + "=" +
            sjis::FromUtf8(option.substr(eq + 1)) + "\r\n";
    }
    char name[] = "/tmp/kalvero-probe-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0)
        return false;
    ::close(fd);
    const bool written = files::WriteAtomic(name, lines);
    settings.LoadFromFile(name);
    settings.FileName.clear(); // nothing is saved back
    std::remove(name);
    return written;
}

int MailImport(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return probe::Usage(kImportUsage);
    std::vector<std::string> options(args.begin() + 2, args.end());
    bool force = false;
    if (!options.empty() && options.front() == "force") {
        force = true;
        options.erase(options.begin());
    }
    TInitParam settings;
    if (!LoadOptions(settings, options, { "autopickup", "userlist", "alermreject" }))
        return probe::Usage(kImportUsage);
    std::string mail, why;
    if (!files::ReadAll(args[1], mail, &why)) {
        std::fprintf(stderr, "kalvero-probe: cannot read %s: %s\n", args[1].c_str(), why.c_str());
        return 1;
    }
    TSchedList store;
    if (!probe::OpenSchedule(store, args[0]))
        return 1;
    const bool added = ImportFromMail(store, mail, "probe/?00000001", force, settings);
    std::puts(added ? "added" : "not added");
    return added && !store.SaveToFile(args[0]) ? 1 : 0;
}

int Digest(const std::vector<std::string>& args)
{
    days::Day today;
    if (args.size() < 3 || !TryStrToDay(args[1], today))
        return probe::Usage(kDigestUsage);
    TInitParam settings;
    if (!LoadOptions(settings, { args.begin() + 3, args.end() },
                     { "daycount", "memolimit", "nomemosched", "memoclear" }))
        return probe::Usage(kDigestUsage);
    // Occurrences and alarms are reckoned from the given day.
    days::FixedClock clock(days::MomentOf(today, 8 * 60));
    TSchedList store;
    if (!probe::OpenSchedule(store, args[0]))
        return 1;
    store.SetKindMask(settings.DispType);
    store.DoneHide = settings.HideDone;
    const std::string text =
        DigestText(store, today, { settings.DayCount, settings.MemoLimit, settings.NoMemoSched });
    switch (WriteDigest(args[2], text, settings.MemoClear)) {
    case DigestWrite::Nothing:
        std::puts("nothing to write");
        return 0;
    case DigestWrite::AlreadyThere:
        std::puts("already there");
        return 0;
    case DigestWrite::Written:
        std::puts("written");
        return 0;
    case DigestWrite::Failed:
        break;
    }
    return 1;
}

const probe::Command mailImportCommand("mailimport", kImportUsage, &MailImport);
const probe::Command digestCommand("digest", kDigestUsage, &Digest);

} // namespace
