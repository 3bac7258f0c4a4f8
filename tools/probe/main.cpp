#include "tools/probe/probe.h"

#include "core/days.h"
#include "core/eventdata.h"
#include "core/schedlist.h"

#include <cstdio>
#include <map>
#include <memory>

namespace probe {

namespace {

struct Entry
{
    const char* usage;
    Handler handler;
};

std::map<std::string, Entry>& Registry()
{
    static std::map<std::string, Entry> registry;
    return registry;
}

} // namespace

Command::Command(const char* name, const char* usage, Handler handler)
{
    Registry()[name] = Entry { usage, handler };
}

int Usage(const char* usage)
{
    std::fprintf(stderr, "usage: kalvero-probe %s\n", usage);
    return 2;
}

bool OpenSchedule(TSchedList& store, const std::string& file)
{
    std::string why;
    if (store.OpenFile(file, &why))
        return true;
    std::fprintf(stderr, "kalvero-probe: %s\n", why.c_str());
    return false;
}

bool ReadDay(const std::string& text, days::Day& day)
{
    if (TryStrToDay(text, day))
        return true;
    std::fprintf(stderr, "kalvero-probe: not a date: %s\n", text.c_str());
    return false;
}

} // namespace probe

int main(int argc, char** argv)
{
    auto& registry = probe::Registry();
    std::vector<std::string> args(argv + 1, argv + argc);
    // --today fixes the clock, so that what depends on today's date (the
    // store's order, due alarms) comes out the same on every run.
    std::unique_ptr<days::FixedClock> clock;
    days::Day today = 0;
    if (args.size() >= 2 && args[0] == "--today") {
        if (!probe::ReadDay(args[1], today))
            return 2;
        clock = std::make_unique<days::FixedClock>(days::MomentOf(today, 12 * 60));
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || registry.find(args[0]) == registry.end()) {
        std::fprintf(stderr,
                     "usage: kalvero-probe [--today YYYY-MM-DD] COMMAND ARGS...\ncommands:\n");
        for (const auto& [name, entry] : registry)
            std::fprintf(stderr, "  %s\n", entry.usage);
        return 2;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    try {
        return registry[command].handler(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalvero-probe: %s\n", e.what());
        return 1;
    }
}
