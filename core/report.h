#pragma once

// Messages for the user from code that has no window of its own (file
// writers, loaders). The GUI installs a sink that shows them in message
// boxes; without one they go to stderr. Tests install a sink that records.

#include <functional>
#include <string>
#include <vector>

namespace report {

enum class Kind { Error, Warning, Information };

// text is Shift_JIS.
using Sink = std::function<void(Kind kind, const std::string& text)>;

// Installs a sink and returns the previous one; an empty sink restores stderr.
Sink SetSink(Sink sink);
void Show(Kind kind, const std::string& text);
inline void Error(const std::string& text)
{
    Show(Kind::Error, text);
}
inline void Warning(const std::string& text)
{
    Show(Kind::Warning, text);
}
inline void Information(const std::string& text)
{
    Show(Kind::Information, text);
}

// A data file could not be written; text (Shift_JIS) says so to the user.
// While a WriteFailureLog exists the failure goes into it instead (its
// owner tells the user once about all of them); otherwise text is shown as
// an error.
void WriteFailed(const std::string& path, const std::string& text);

// Gathers the write failures of a stretch of work (the program's end).
class WriteFailureLog
{
public:
    WriteFailureLog();
    ~WriteFailureLog();
    WriteFailureLog(const WriteFailureLog&) = delete;
    WriteFailureLog& operator=(const WriteFailureLog&) = delete;

    // The files that could not be written, each once, in order.
    const std::vector<std::string>& Paths() const { return paths_; }
    void Add(const std::string& path);

private:
    std::vector<std::string> paths_;
    WriteFailureLog* previous_;
};

// Installs a sink for the lifetime of the object (tests).
class ScopedSink
{
public:
    explicit ScopedSink(Sink sink) : previous_(SetSink(std::move(sink))) { }
    ~ScopedSink() { SetSink(std::move(previous_)); }
    ScopedSink(const ScopedSink&) = delete;
    ScopedSink& operator=(const ScopedSink&) = delete;

private:
    Sink previous_;
};

} // namespace report
