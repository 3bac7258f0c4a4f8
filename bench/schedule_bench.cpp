// The schedule core at scale: loading and saving a generated schedule file,
// and the day lists of one month grid.
//
// Goals: load plus save of 100,000 items under 150 ms; the 42 SelectDay calls
// of a month grid under 10 ms with 10,000 items and under 100 ms with 100,000.

#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "tests/support/sample_schedule.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>

namespace {

using days::Day;

const days::Moment kNow = days::MomentOf(days::Encode(2024, 7, 1), 600);

// A mix of single items and repeating items of every pattern, with Japanese
// texts, categories, memos, excluded dates and mail links.
// Callers hold the fixed clock.
std::string GenerateFile(int count)
{
    std::mt19937 rng(42);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::string places[] = { "", SJ("本社 3F 会議室"), SJ("大阪支店"), "Room 42" };
    TSchedList writer;
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 150);
    const Day base = days::Encode(2020, 1, 1);
    for (int i = 0; i < count; ++i) {
        TEventData e = benchdata::RandomItem(rng, base, 2400, 50, i);
        e.UpdateDate = base + pick(2000);
        if (e.Repeat != 0 && pick(5) == 0)
            e.ExceptDates = days::Format(e.Date + 7) + "," + days::Format(e.Date + 35);
        e.Place = places[pick(4)];
        if (pick(4) == 0)
            e.Memo = SJ("持ち物: 資料、名刺\r\n連絡先: 山田 090-0000-0000\r\n備考なし");
        if (pick(10) == 0) {
            e.MailID = "<" + std::to_string(i) + "@mail.example.jp>";
            e.MailKey = e.MailID + ",5f3a2b1c";
        }
        writer.AddEvent(e, false);
    }
    // In the order the store writes its file.
    writer.SortEvents();
    for (const TEventData* e : writer.All()) {
        text += writer.EventToLine(*e, 1);
        text += "\r\n";
    }
    return text;
}

struct Files
{
    std::string dir;
    std::map<int, std::string> byCount;
    Files()
    {
        char tmpl[] = "/tmp/kalvero-bench-XXXXXX";
        dir = ::mkdtemp(tmpl);
        dir += "/";
    }
    ~Files() { std::filesystem::remove_all(dir); }
    const std::string& For(int count)
    {
        auto it = byCount.find(count);
        if (it != byCount.end())
            return it->second;
        const std::string f = dir + "gen" + std::to_string(count) + ".sch";
        files::WriteAtomic(f, GenerateFile(count));
        return byCount[count] = f;
    }
};

Files& Generated()
{
    static Files files;
    return files;
}

void BM_LoadAndSave(benchmark::State& state)
{
    days::FixedClock clock(kNow);
    const std::string& in = Generated().For(static_cast<int>(state.range(0)));
    const std::string out = Generated().dir + "out.sch";
    for (auto _ : state) {
        auto store = std::make_unique<TSchedList>();
        store->OpenFile(in);
        if (!store->SaveToFile(out))
            state.SkipWithError("save failed");
        benchmark::DoNotOptimize(store->Count());
        // Freeing the items is not part of the measure.
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadAndSave)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state)
{
    days::FixedClock clock(kNow);
    const std::string& in = Generated().For(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto store = std::make_unique<TSchedList>();
        store->OpenFile(in);
        benchmark::DoNotOptimize(store->Count());
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Load)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MonthGrid(benchmark::State& state)
{
    days::FixedClock clock(kNow);
    TSchedList store;
    store.OpenFile(Generated().For(static_cast<int>(state.range(0))));
    store.SetKindMask(7);
    // The 42 cells of July 2024, starting on the Sunday before the 1st, with
    // a day-off test as the calendar installs one.
    store.IsHoliday = [](Day d) { return days::DayOfWeek(d) == 1 && d % 3 == 0; };
    const Day first = days::Encode(2024, 6, 30);
    std::size_t shown = 0;
    for (auto _ : state) {
        shown = 0;
        for (int cell = 0; cell < 42; ++cell) {
            store.SelectDay(first + cell);
            shown += store.DayList.size();
        }
        benchmark::DoNotOptimize(shown);
    }
    state.counters["items_shown"] = static_cast<double>(shown);
}
BENCHMARK(BM_MonthGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

void BM_Save(benchmark::State& state)
{
    days::FixedClock clock(kNow);
    TSchedList store;
    store.OpenFile(Generated().For(static_cast<int>(state.range(0))));
    const std::string out = Generated().dir + "save.sch";
    for (auto _ : state) {
        if (!store.SaveToFile(out))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_Save)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
