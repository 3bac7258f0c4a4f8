#include "core/report.h"

#include "core/sjis.h"

#include <algorithm>
#include <cstdio>

namespace report {

namespace {

Sink& Current()
{
    static Sink sink;
    return sink;
}

WriteFailureLog*& CurrentLog()
{
    static WriteFailureLog* log = nullptr;
    return log;
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

void WriteFailed(const std::string& path, const std::string& text)
{
    if (WriteFailureLog* log = CurrentLog())
        log->Add(path);
    else
        Error(text);
}

WriteFailureLog::WriteFailureLog() : previous_(CurrentLog())
{
    CurrentLog() = this;
}

WriteFailureLog::~WriteFailureLog()
{
    CurrentLog() = previous_;
}

void WriteFailureLog::Add(const std::string& path)
{
    if (std::find(paths_.begin(), paths_.end(), path) == paths_.end())
        paths_.push_back(path);
}

} // namespace report
