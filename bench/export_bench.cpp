// The export of a whole 10,000-item schedule (range "every item", each
// series expanded up to the limit a year ahead) as vCalendar and as the
// built-in CSV, built in memory. Reports items, entries and bytes; goal: at
// least 100 MB/s of output.

#include "app/exporter.h"
#include "core/schedlist.h"
#include "tests/support/sample_schedule.h"

#include <benchmark/benchmark.h>

namespace {

const days::Moment kNow = days::MomentOf(days::Encode(2024, 7, 1), 600);

// The items of the other benchmarks: around today, a tenth of them series,
// some with a place and a memo.
void Fill(TSchedList& store)
{
    std::mt19937 rng(11);
    const days::Day today = days::Today();
    for (int i = 0; i < 10000; ++i) {
        TEventData item = benchdata::RandomItem(rng, today - 400, 800, 10, i);
        if (i % 25 == 0)
            item.Place = SJ("本社 3F 会議室");
        if (i % 4 == 0)
            item.Memo = SJ("持ち物: 資料、名刺\r\n連絡先: 山田 090-0000-0000");
        store.AddEvent(item, false);
    }
    store.SetKindMask(-1);
}

void Run(benchmark::State& state, exporter::ExportFormat format)
{
    days::FixedClock clock(kNow);
    TSchedList store;
    Fill(store);
    exporter::ExportRequest request;
    request.format = format;
    request.range = exporter::ExportRange::All;
    request.limit = exporter::ExpansionLimit(days::Today());
    request.leaveOut = { false, false, false, false };
    exporter::ExportResult result;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        result = exporter::Export(store, request);
        bytes += static_cast<std::int64_t>(result.text.size());
        benchmark::DoNotOptimize(result.text.data());
    }
    state.SetBytesProcessed(bytes);
    state.counters["items"] = store.Count();
    state.counters["entries"] = result.entries;
    state.counters["bytes"] = static_cast<double>(result.text.size());
}

void BM_ExportAllVCalendar(benchmark::State& state)
{
    Run(state, exporter::ExportFormat::VCalendar);
}
BENCHMARK(BM_ExportAllVCalendar)->Unit(benchmark::kMillisecond);

void BM_ExportAllCsv(benchmark::State& state)
{
    Run(state, exporter::ExportFormat::Csv);
}
BENCHMARK(BM_ExportAllCsv)->Unit(benchmark::kMillisecond);

} // namespace
