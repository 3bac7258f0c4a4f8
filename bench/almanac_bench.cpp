// The almanac of a month repaint: for each of the 42 day cells the old date,
// the six-day name, the solar term and the holiday rules of the shipped file
// (goal: well under 1 ms for the whole grid). And the old date of every day
// of 1900-2100 in one run.

#include "core/holidays.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MonthGridAlmanac(benchmark::State& state)
{
    THolidayList holidays;
    if (!holidays.LoadFromFile(std::string(KALVERO_SOURCE_DIR) + "/data/Kalvero.hol") ||
        holidays.Count() == 0) {
        state.SkipWithError("data/Kalvero.hol did not load");
        return;
    }
    // May 2020: Golden Week with a substitute holiday; the grid starts on
    // the Sunday before the first.
    const days::Day first = days::Encode(2020, 4, 26);
    TKyureki& kyureki = holidays.Kyureki();
    for (auto _ : state) {
        int sum = 0;
        for (days::Day d = first; d < first + 42; ++d) {
            kyureki.Calc(d);
            sum += kyureki.OldDay + kyureki.RokuyoLuck() +
                static_cast<int>(kyureki.RokuyoName().size());
            sum += SolarTermOfDate(d);
            sum += holidays.SelectDay(d) ? 1 : 0;
            sum += holidays.DayCount();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 42);
}
BENCHMARK(BM_MonthGridAlmanac)->Unit(benchmark::kMicrosecond);

void BM_OldDates1900To2100(benchmark::State& state)
{
    const days::Day from = days::Encode(1900, 1, 1), to = days::Encode(2100, 12, 31);
    TKyureki kyureki;
    for (auto _ : state) {
        long long sum = 0;
        for (days::Day d = from; d <= to; ++d) {
            kyureki.Calc(d);
            sum += kyureki.OldDay;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (to - from + 1));
}
BENCHMARK(BM_OldDates1900To2100)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
