#include "tools/probe/probe.h"

#include <cstdio>
#include <map>

namespace probe {

namespace {

struct Entry {
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
    Registry()[name] = Entry{usage, handler};
}

int Usage(const char* usage)
{
    std::fprintf(stderr, "usage: kalvero-probe %s\n", usage);
    return 2;
}

} // namespace probe

int main(int argc, char** argv)
{
    auto& registry = probe::Registry();
    if (argc < 2 || registry.find(argv[1]) == registry.end()) {
        std::fprintf(stderr, "usage: kalvero-probe COMMAND ARGS...\ncommands:\n");
        for (const auto& [name, entry] : registry)
            std::fprintf(stderr, "  %s\n", entry.usage);
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return registry[argv[1]].handler(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalvero-probe: %s\n", e.what());
        return 1;
    }
}
