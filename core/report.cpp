#include "core/report.h"

#include "core/sjis.h"

#include <cstdio>

namespace report {

namespace {

Sink& Current()
{
    static Sink sink;
    return sink;
}

} // namespace

Sink SetSink(Sink sink)
{
    Sink previous = std::move(Current());
    Current() = std::move(sink);
    return previous;
}

void Show(Kind kind, const std::string& text)
{
    if (Current()) {
        // A sink that throws must not take the caller down with it.
        try {
            Current()(kind, text);
            return;
        } catch (...) {
        }
    }
    const char* prefix = kind == Kind::Error ? "error" : kind == Kind::Warning ? "warning" : "note";
    std::fprintf(stderr, "Kalvero %s: %s\n", prefix, sjis::ToUtf8(text).c_str());
}

} // namespace report
